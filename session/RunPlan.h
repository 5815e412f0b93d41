// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BoardSetup.h"

#include "BoardLimits.h"
#include "DocumentOptions.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What a characterisation run measures: every combination of input,
// averaging and rate, in that order (the inputs outermost, the rates as
// listed innermost), each a point of several blocks taken after the
// settling blocks a change of settings needs, with the figures to record.
struct RunPlan {
    static constexpr int MaxBlocks = 9999;
    static constexpr int MaxSettleBlocks = 99;
    // The board's line, which the duration estimate assumes.
    static constexpr int LineBaud = 9600;

    struct Point {
        int channel = 1;
        int averaging = 0;
        double rate = 0;
        bool operator==(const Point &) const = default;
    };

    QList<int> channels{1};
    QList<int> averaging{0};
    QList<double> rates{1000.0};
    double vref = BoardSetup().vref;
    int samples = 4096;
    int blocks = 1;
    int settleBlocks = 1;
    bool noise = true; // the time view's statistics, noise and resolution
    bool tone = false; // the FFT view's spectrum and tone figures
    DocumentOptions::Fft fft = defaultFft();
    bool normalizeFft = false;

    // The seven-term window with its own main lobe: leakage stays below the
    // converter's noise.
    static DocumentOptions::Fft defaultFft();

    QList<Point> points() const;
    // The views whose figures a block's analysis records, time before FFT.
    QList<DocumentOptions::View> views() const;
    // The keys of the numeric figures recorded, in the catalogue's order.
    QStringList figureKeys() const;
    // What is wrong with the plan for a board of these limits, in one line.
    std::optional<QString> problem(const BoardLimits &limits) const;

    // The blocks a point takes, settling ones included.
    int blocksPerPoint() const { return settleBlocks + blocks; }
    // How long one block takes at rate on the board's line: the conversions
    // and the samples' way over the line with the requests that fetch them.
    double blockSeconds(double rate) const;
    // How long the whole plan takes, settings included.
    double estimatedSeconds() const;

    // The plan as run.json records it, FFT options included ("." decimals).
    QJsonObject toJson() const;
    static std::optional<RunPlan> fromJson(const QJsonObject &object);

    bool operator==(const RunPlan &) const = default;
};
