// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NoiseFigures.h"
#include "SpectralMetrics.h"
#include "TimeStatistics.h"
#include "ToneFigures.h"

#include <QtGlobal>

// What the figures of the catalogue are read from: the results one analysis
// of a block left, by value, so a reference or a file reader can fill the
// part it holds and leave the rest empty.
struct FigureResults {
    TimeStatistics statistics;
    NoiseFigures noise;
    SpectralMetrics metrics;
    ToneFigures tone;
    // The spectrum holds no tone: its tone figures would describe noise, so
    // the screen and printouts show them as "-".
    bool noiseOnly = false;
    int fftLength = 0;
    double sampleFreq = 0;
    int signalBins = 0;
    double histogramBinWidth = 0;
    double histogramMinimum = 0;
    double histogramMaximum = 0;
    qsizetype dataListLines = 0;
    int averagedBlocks = 0;
};
