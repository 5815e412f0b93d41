// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

// Highest harmonic order H: the last three characters; empty gives 2; clamped
// to 2 .. 20.
int numHarmonics(const QString &text);

} // namespace MetricOptions
