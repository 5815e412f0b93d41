// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalysisOptions.h"
#include "FigureCatalogue.h"
#include "PlotDocument.h"
#include "SampleBlock.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <optional>
#include <span>
#include <variant>

// One figure of a view as the catalogue gives it: a JSON key, a text label
// and the value. A figure that could not be computed for the block is null in
// JSON; in the text it shows its value, or "-" when it has none (NaN). A
// yes/no figure is a JSON Boolean, a named one its name.
struct Figure {
    QString key;
    QString label;
    double value = 0;
    bool computed = true;
    FigureCatalogue::Kind kind = FigureCatalogue::Kind::Measurement;
    QString name; // of a computed named figure

    QJsonValue jsonValue() const;
    // At full double precision, "." decimals.
    QString text() const;
};

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
