// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

// The four ways a code (or a value in codes) is shown: the order is that of the
// plot window's data-format options.
enum class DataFormat { Integer = 0, Hexadecimal = 1, PercentOfFullScale = 2, ScaledByLsb = 3 };

namespace DataFormats {
inline constexpr int Count = 4;
}

// The scale a block's codes are shown in.
struct CodeScale {
    int numBits = 0;     // full-scale range is 2^numBits codes
    double lsbSize = 0;  // volts per code
};

namespace CodeText {

// Upper-case hexadecimal of the 32-bit two's complement of the value rounded
// (halves to even, saturating at the int32 limits), keeping only the last k
// digits: k = ceil(numBits / 4) for numBits up to 28 (at least 1), all digits
// from 29 bits on. No leading zeros are added.
QString hexadecimal(double value, int numBits);

// value / 2^numBits * 100 + 50 with the pattern "0.##".
QString percentOfFullScale(double value, int numBits, QChar separator);

// value * lsbSize with the pattern "0.####".
QString scaledByLsb(double value, double lsbSize, QChar separator);

// A code in the given format (Integer gives the signed decimal), as files
// write it.
QString code(std::int32_t value, DataFormat format, const CodeScale &scale, QChar separator);
// The same for the screen: volts and % of full scale carry enough decimals to
// tell neighbouring codes apart, volts in V, mV, µV or nV as fits the value.
QString screenCode(double value, DataFormat format, const CodeScale &scale, QChar separator);

// volts in V, mV, µV or nV as fits its size, with enough decimals to show a
// step of resolution volts ("2.6000000 V", "-0.5 µV").
QString volts(double volts, double resolution, QChar separator);

// The percentage of full scale as a number, also used for graphs.
double percentValue(double value, int numBits);

} // namespace CodeText
