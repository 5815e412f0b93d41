// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalysisOptions.h"

#include <QSize>
#include <variant>

// What "plot" was asked to draw.
struct PlotOptions : AnalysisOptions {
    QString output;             // .png, .svg or .pdf
    QSize size{1200, 800};      // pixels at 96 dpi

    // The options after "plot", or a one-line description of what is wrong.
    static std::variant<PlotOptions, QString> parse(const QStringList &arguments);
};
