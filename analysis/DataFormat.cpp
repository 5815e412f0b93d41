// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFormat.h"

#include "NumberFormat.h"

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
