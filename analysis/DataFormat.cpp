// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFormat.h"

#include "NumberFormat.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace CodeText {

QString hexadecimal(double value, int numBits)
{
    const auto bits = static_cast<std::uint32_t>(NumberFormat::roundHalfEven32(value));
    QString text = QString::number(bits, 16).toUpper();
    if (numBits <= 28) {
        const int digits = numBits <= 4 ? 1 : (numBits + 3) / 4;
        if (text.size() > digits)
            text = text.right(digits);
    }
    return text;
}

double percentValue(double value, int numBits)
{
    return value / std::ldexp(1.0, numBits) * 100.0 + 50.0;
}

QString percentOfFullScale(double value, int numBits, QChar separator)
{
    return NumberFormat::pattern(percentValue(value, numBits), 0, 2, separator);
}

QString scaledByLsb(double value, double lsbSize, QChar separator)
{
    return NumberFormat::pattern(value * lsbSize, 0, 4, separator);
}

namespace {

// Fixed decimals: enough that a step of resolution shows in a number whose
// unit is unit, at most 12.
int decimalsFor(double resolution, double unit)
{
    if (!(resolution > 0) || !std::isfinite(resolution))
        return 4;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(resolution / unit) - 1e-9)), 0, 12);
}

QString fixed(double value, int decimals, QChar separator)
{
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), separator);
}

} // namespace

QString volts(double volts, double resolution, QChar separator)
{
    static const std::array<std::pair<double, const char *>, 4> units{
        {{1.0, "V"}, {1e-3, "mV"}, {1e-6, "µV"}, {1e-9, "nV"}}};
    const double size = volts != 0 ? std::fabs(volts) : resolution;
    auto unit = units.back();
    for (const auto &candidate : units) {
        if (size >= candidate.first * (1 - 1e-12)) {
            unit = candidate;
            break;
        }
    }
    return fixed(volts / unit.first, decimalsFor(resolution, unit.first), separator) + QLatin1Char(' ') +
           QString::fromUtf8(unit.second);
}

QString screenCode(double value, DataFormat format, const CodeScale &scale, QChar separator)
{
    switch (format) {
    case DataFormat::PercentOfFullScale:
        return fixed(percentValue(value, scale.numBits), decimalsFor(percentValue(1, scale.numBits) - 50, 1), separator);
    case DataFormat::ScaledByLsb:
        return volts(value * scale.lsbSize, scale.lsbSize, separator);
    case DataFormat::Hexadecimal:
        return hexadecimal(value, scale.numBits);
    case DataFormat::Integer:
        break;
    }
    return NumberFormat::general(value, separator);
}

QString code(std::int32_t value, DataFormat format, const CodeScale &scale, QChar separator)
{
    switch (format) {
    case DataFormat::Hexadecimal:
        return hexadecimal(value, scale.numBits);
    case DataFormat::PercentOfFullScale:
        return percentOfFullScale(value, scale.numBits, separator);
    case DataFormat::ScaledByLsb:
        return scaledByLsb(value, scale.lsbSize, separator);
    case DataFormat::Integer:
        break;
    }
    return QString::number(value);
}

} // namespace CodeText
