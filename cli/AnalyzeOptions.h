// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFormat.h"

#include <QString>
#include <QStringList>
#include <variant>

// What "analyze" was asked to do.
struct AnalyzeOptions {
    enum class View { Time, Fft, Histogram, List };

    QString file;
    View view = View::Time;
    int window = 0;             // FFT window option index 0 .. 6
    int numBins = 11;           // odd, 1 .. 51
    int numHarmonics = 10;      // 2 .. 20
    bool normalize = false;     // 0 dB at the highest level instead of full scale
    DataFormat format = DataFormat::Integer;
    QString savePath;           // empty: no file is written
    bool json = false;

    // The options after "analyze", or a one-line description of what is wrong.
    static std::variant<AnalyzeOptions, QString> parse(const QStringList &arguments);

    static QString viewName(View view);
};
