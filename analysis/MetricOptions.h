// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftWindow.h"

#include <QString>

// The two numeric options of the metrics as their text fields hold them. Each
// reading applies the fields' own check, so a value is always in range even
// when the field's text has not been checked yet.
namespace MetricOptions {

inline constexpr auto NumBinsStart = "11";
inline constexpr auto NumHarmonicsStart = "10";

// Signal bins NB: the last three characters; empty gives 1; clamped to 1 .. 51;
// an even value becomes the next odd one.
int numBins(const QString &text);

// The signal bins NB that suit a window ("Auto"): its main lobe to the first
// nulls and a bin each side (Rectangular 5; Hamming, Hanning, Triangular 7;
// Blackman 9; Blackman-Harris, Continuous 5th Derivative 11; seven-term 17).
int autoNumBins(FftWindow window);

// Highest harmonic order H: the last three characters; empty gives 2; clamped
// to 2 .. 20.
int numHarmonics(const QString &text);

} // namespace MetricOptions
