// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormat.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace NumberFormat {

namespace {

// Removes trailing zero decimals down to minDecimals; the separator stays.
QString trimDecimals(QString text, int minDecimals)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return text;
    qsizetype keep = text.size();
    while (keep > dot + 1 + minDecimals && text.at(keep - 1) == QLatin1Char('0'))
        --keep;
    text.truncate(keep);
    return text;
}

} // namespace

QString pattern(double value, int minDecimals, int maxDecimals, QChar separator)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString text;
    // value * 10^d is exact in long double for d <= 4 (53 + 10 significant bits),
    // so halves are found exactly and rounded away from zero as a pattern should.
    const long double scaled = static_cast<long double>(value) * std::pow(10.0L, maxDecimals);
    if (maxDecimals <= 4 && std::fabs(scaled) < 9.0e18L) {
        const long long units = std::llround(scaled);
        text = QString::number(std::llabs(units)).rightJustified(maxDecimals + 1, QLatin1Char('0'));
        text.insert(text.size() - maxDecimals, QLatin1Char('.'));
    } else {
        std::array<char, 400> buffer{};
        std::snprintf(buffer.data(), buffer.size(), "%.*f", maxDecimals, std::fabs(value));
        text = QString::fromLatin1(buffer.data());
        if (maxDecimals == 0)
            text += QLatin1Char('.');
    }
    text = trimDecimals(text, minDecimals);
    // A value that rounds to zero shows no sign.
    const bool nonZero = std::any_of(text.cbegin(), text.cend(),
                                     [](QChar c) { return c.isDigit() && c != QLatin1Char('0'); });
    if (value < 0 && nonZero)
        text.prepend(QLatin1Char('-'));
    text.replace(QLatin1Char('.'), separator);
    return text;
}

QString general(double value, QChar separator)
{
    if (value == 0.0)
        return QStringLiteral("0");
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.15G", value);
    QString text = QString::fromLatin1(buffer.data());
    text.replace(QLatin1Char('.'), separator);
    return text;
}

std::int32_t roundHalfEven32(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value); // default rounding mode: halves to even
    if (rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}

std::int16_t roundHalfEven16(double value)
{
    const std::int32_t wide = roundHalfEven32(value);
    if (wide > std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    if (wide < std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    return static_cast<std::int16_t>(wide);
}

QChar screenSeparator()
{
    return QLocale().decimalPoint().at(0);
}

} // namespace NumberFormat
