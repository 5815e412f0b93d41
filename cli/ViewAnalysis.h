// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalysisOptions.h"
#include "Figure.h"
#include "PlotDocument.h"
#include "SampleBlock.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>
#include <span>
#include <variant>

// The figures of the chosen view and the data file the plot window would save
// in that view for the same block and options.
// The time view's figures include the noise figures when the options ask
// for them (AnalysisOptions::noiseFigures), the FFT view's the tone figures.
struct ViewReport {
    QList<Figure> figures;
    QByteArray fileContent; // empty unless asked for

    // The data file is made only when its creation time is given: writing its
    // numbers costs more than the analysis.
    static ViewReport analyze(const SampleBlock &block, const AnalysisOptions &options,
                              const std::optional<QDateTime> &fileCreated);
    // The FFT view of the blocks' spectra averaged in linear power, with the
    // count averaged as a figure; or the index of the first block whose FFT
    // length, rate or scale differs from the blocks before it.
    static std::variant<ViewReport, qsizetype> analyzeAverage(std::span<const SampleBlock> blocks,
                                                              const AnalysisOptions &options,
                                                              const std::optional<QDateTime> &fileCreated);
};

// Gives document the block and the options, shows the chosen view and runs the
// analysis pass, as the plot window does with the same settings.
void analyzeInDocument(PlotDocument &document, const SampleBlock &block, const AnalysisOptions &options);
