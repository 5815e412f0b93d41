// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NoiseFigures.h"
#include "ToneFigures.h"

#include <QChar>
#include <QList>
#include <QString>
#include <optional>

// The noise and tone figures as the screen and printouts show them: voltages
// and codes with three significant digits, bits and dBFS with two decimals,
// the unit always shown, and "-" for a figure that was not computed (and for
// a resolution below zero bits, which says only that the signal is large).
namespace NoiseTexts {

inline constexpr auto NoToneNote = "No tone: noise only";
inline constexpr auto SignalIncludedNote = "The block holds a tone: these figures include the signal.";

struct Row {
    QString label;
    QString text;
};

// value rounded to three significant digits, without exponent ("0.000123",
// "12.3", "12300"); 0 gives "0".
QString significant3(double value, QChar separator);

// A voltage given in microvolts, shown in V, mV, µV or nV as fits its size.
QString microvolts(std::optional<double> value, QChar separator);
// The same for a value in volts, three significant digits.
QString volts(double value, QChar separator);
QString codes(std::optional<double> value, QChar separator);
QString bits(std::optional<double> value, QChar separator);
QString dbfs(std::optional<double> value, QChar separator);

// The eight figures of the time-domain block, in the order of the table.
QList<Row> noiseRows(const NoiseFigures &figures, QChar separator);
// ENOB and the fundamental's level ("-" without a tone), the signal bins
// used, the sine fit's figures and the noise density.
QList<Row> toneRows(const ToneFigures &figures, int signalBins, QChar separator);
// "RMS noise: 1.23 µV     P-P noise: ...": the line a printout adds.
QString printLine(const NoiseFigures &figures, QChar separator);

} // namespace NoiseTexts
