// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <optional>

// The number texts of the noise and tone figures on screen and on paper:
// voltages and codes with three significant digits, bits with two decimals,
// the unit always shown, and "-" for a figure that was not computed (and for
// a resolution below zero bits, which says only that the signal is large);
// the notes the figure columns show.
namespace NoiseTexts {

inline constexpr auto NoToneNote = "No tone: noise only";
inline constexpr auto SignalIncludedNote = "The block holds a tone: these figures include the signal.";

// value rounded to three significant digits, without exponent ("0.000123",
// "12.3", "12300"); 0 gives "0".
QString significant3(double value, QChar separator);

// A voltage given in microvolts, shown in V, mV, µV or nV as fits its size.
QString microvolts(std::optional<double> value, QChar separator);
// The same for a value in volts, three significant digits.
QString volts(double value, QChar separator);
QString bits(std::optional<double> value, QChar separator);

} // namespace NoiseTexts
