// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftWindow.h"

#include <QString>
#include <algorithm>

// The two numeric options of the metrics: their bounds and defaults, which the
// analysis, the plot window's fields, the remembered settings and the
// command-line tool all take from here, and the check of their text fields.
namespace MetricOptions {

struct Bounds {
    int low;
    int high;
    constexpr bool contains(int value) const { return value >= low && value <= high; }
    constexpr int clamp(int value) const { return std::clamp(value, low, high); }
};

// Signal bins NB: odd, 1 .. 51.
inline constexpr Bounds NumBinsRange{1, 51};
inline constexpr int DefaultNumBins = 11;
// Highest harmonic order H: 2 .. 20.
inline constexpr Bounds NumHarmonicsRange{2, 20};
inline constexpr int DefaultNumHarmonics = 10;

// The signal bins lie symmetric about the tone's bin, so their count is odd:
// an even NB (from 0 on) becomes the next odd one.
constexpr int oddNumBins(int numBins)
{
    return 2 * (numBins / 2) + 1;
}
constexpr bool isNumBins(int numBins)
{
    return NumBinsRange.contains(numBins) && numBins % 2 == 1;
}

// Signal bins NB from a field's text: the last three characters; empty gives
// 1; clamped into range; an even value becomes the next odd one.
int numBins(const QString &text);

// The signal bins NB that suit a window ("Auto"): its main lobe to the first
// nulls and a bin each side (Rectangular 5; Hamming, Hanning, Triangular 7;
// Blackman 9; Blackman-Harris, Continuous 5th Derivative 11; seven-term 17).
int autoNumBins(FftWindow window);

// Highest harmonic order H from a field's text: the last three characters;
// empty gives 2; clamped into range.
int numHarmonics(const QString &text);

} // namespace MetricOptions
