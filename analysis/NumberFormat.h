// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

// Number texts shared by the status bar, the data list, the data files and the
// command-line tool. Every function takes the decimal separator explicitly: the
// screen passes the locale's, files always pass '.'.
namespace NumberFormat {

// Pattern texts such as "0.##" (minDecimals 0, maxDecimals 2), "0.####" (0, 4) or
// "0.0##" (1, 3): at least one integer digit, rounded to maxDecimals (halves away
// from zero), trailing zero decimals dropped down to minDecimals, and the
// separator kept even when no decimal remains (50 gives "50.").
QString pattern(double value, int minDecimals, int maxDecimals, QChar separator);

// value with exactly decimals decimals (halves away from zero) and the digits
// before the separator in groups of three parted by a space, "1 001.47": a
// space reads the same whichever decimal separator the locale uses.
QString grouped(double value, int decimals, QChar separator);

// General number format: the shortest text with at most 15 significant digits;
// exponent form ("1E-05", "1E+15") when the decimal exponent is below -4 or 15
// and above.
QString general(double value, QChar separator);
// The same with at most 7 significant digits, as a single-precision value is shown.
QString generalSingle(float value, QChar separator);

// Nearest integer, halves to the even neighbour; saturates at the int32 limits
// and maps NaN to 0, so callers never meet undefined conversions.
std::int32_t roundHalfEven32(double value);
std::int16_t roundHalfEven16(double value);

// The locale's decimal separator, for texts shown on screen.
QChar screenSeparator();

} // namespace NumberFormat
