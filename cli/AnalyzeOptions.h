// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalysisOptions.h"

#include <variant>

// What "analyze" was asked to do.
struct AnalyzeOptions : AnalysisOptions {
    // Text: "Label: value" lines per file; Json: one JSON object per line and
    // file (JSON Lines); Table: CSV, a header row and one row per file.
    enum class Output { Text, Json, Table };

    QString savePath;           // empty: no file is written; one input file only
    // FFT view only: the files' spectra averaged into one report (and one
    // saved file), 2 .. SpectrumAverage::MaxDepth files of one shape.
    bool average = false;
    Output output = Output::Text;

    // The options after "analyze", or a one-line description of what is wrong.
    static std::variant<AnalyzeOptions, QString> parse(const QStringList &arguments);
};
