// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalyzeOptions.h"
#include "BoardLimits.h"
#include "BoardSetup.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

// What "acquire" was asked to do.
struct AcquireOptions {
    static constexpr double MinVref = BoardSetup::MinVref;
    static constexpr double MaxVref = BoardSetup::MaxVref;

    QString port;                 // a device path, or COM1 .. COM16
    QString samplesText = QStringLiteral("4096"); // as given: its range is the board's
    int samples = 0;              // samplesText, once takeSamples has checked it
    std::optional<double> rate;   // none: the driver's own
    int channel = 1;              // 1 .. 4
    int averaging = 0;            // 2^averaging conversions per sample
    double vref = 4.096;
    int count = 1;
    bool continuous = false;      // until interrupted
    QString output;               // "-": standard output, one block only
    bool analyzeFft = false;
    bool analyzeNoise = false;    // the noise and resolution figures of each block
    QString trend;                // CSV file the noise trend rows go to; empty: none
    // Analysis settings for --analyze fft (window, bins, harmonics, normalize).
    AnalyzeOptions analysis;

    static std::variant<AcquireOptions, QString> parse(const QStringList &arguments);
    // Takes the sample count within the board's limits; the usage problem
    // when it is out of them.
    std::optional<QString> takeSamples(const BoardLimits &limits);

    bool severalBlocks() const { return continuous || count > 1; }
    // The file of block number (1, 2, ...): OUT.csv for a single block, else
    // OUT-0001.csv, OUT-0002.csv, ...
    QString outputPath(int block) const;
    BoardSetup boardSetup() const { return {channel, averaging, vref}; }
};
