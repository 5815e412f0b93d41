// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalysisOptions.h"

#include <variant>

// What "analyze" was asked to do.
struct AnalyzeOptions : AnalysisOptions {
    QString savePath;           // empty: no file is written
    bool json = false;

    // The options after "analyze", or a one-line description of what is wrong.
    static std::variant<AnalyzeOptions, QString> parse(const QStringList &arguments);
};
