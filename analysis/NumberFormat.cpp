// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormat.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <cmath>
#include <charconv>
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

// units / 10^maxDecimals as pattern text, built in place: data lists format
// tens of thousands of values at a time.
QString scaledUnitsText(unsigned long long units, int minDecimals, int maxDecimals, bool negative,
                        QChar separator)
{
    std::array<char16_t, 32> digits{};
    int count = 0;
    do {
        digits[static_cast<std::size_t>(count++)] = static_cast<char16_t>(u'0' + units % 10);
        units /= 10;
    } while (units != 0 || count <= maxDecimals);
    // Trailing zero decimals go, down to minDecimals.
    int dropped = 0;
    while (dropped < maxDecimals - minDecimals && digits[static_cast<std::size_t>(dropped)] == u'0')
        ++dropped;
    const bool nonZero = std::any_of(digits.begin(), digits.begin() + count, [](char16_t c) { return c != u'0'; });
    std::array<char16_t, 34> text{};
    int length = 0;
    if (negative && nonZero)
        text[static_cast<std::size_t>(length++)] = u'-';
    for (int i = count - 1; i >= dropped; --i) {
        text[static_cast<std::size_t>(length++)] = digits[static_cast<std::size_t>(i)];
        if (i == maxDecimals)
            text[static_cast<std::size_t>(length++)] = separator.unicode();
    }
    return QString(reinterpret_cast<const QChar *>(text.data()), length);
}

} // namespace

QString pattern(double value, int minDecimals, int maxDecimals, QChar separator)
{
    if (!std::isfinite(value))
        return QString::number(value);
    // value * 10^d is exact in long double for d <= 4 (53 + 10 significant bits),
    // so halves are found exactly and rounded away from zero as a pattern should.
    static constexpr long double powersOfTen[] = {1.0L, 10.0L, 100.0L, 1000.0L, 10000.0L};
    if (maxDecimals >= 0 && maxDecimals <= 4) {
        const long double scaled = static_cast<long double>(value) * powersOfTen[maxDecimals];
        if (std::fabs(scaled) < 9.0e18L)
            return scaledUnitsText(static_cast<unsigned long long>(std::llabs(std::llround(scaled))),
                                   minDecimals, maxDecimals, value < 0, separator);
    }
    // QString::number formats as the C locale does, whatever the process locale.
    QString text = QString::number(std::fabs(value), 'f', maxDecimals);
    if (maxDecimals == 0)
        text += QLatin1Char('.');
    text = trimDecimals(text, minDecimals);
    // A value that rounds to zero shows no sign.
    const bool nonZero = std::any_of(text.cbegin(), text.cend(),
                                     [](QChar c) { return c.isDigit() && c != QLatin1Char('0'); });
    if (value < 0 && nonZero)
        text.prepend(QLatin1Char('-'));
    text.replace(QLatin1Char('.'), separator);
    return text;
}

QString grouped(double value, int decimals, QChar separator)
{
    QString text = pattern(value, decimals, decimals, separator);
    if (decimals == 0)
        text.chop(1); // the pattern keeps a bare separator
    const qsizetype firstDigit = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    qsizetype end = text.indexOf(separator, firstDigit);
    if (end < 0)
        end = text.size();
    for (qsizetype at = end - 3; at > firstDigit; at -= 3)
        text.insert(at, QLatin1Char(' '));
    return text;
}

namespace {

QString generalWithDigits(double value, int digits, QChar separator)
{
    if (value == 0.0)
        return QStringLiteral("0");
    // Formatted as the C locale does whatever the process locale says: files and
    // scripts must read '.' however the user's desktop shows numbers.
    std::array<char, 64> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                       std::chars_format::general, digits);
    QString text = QString::fromLatin1(buffer.data(), written.ptr - buffer.data()).toUpper();
    text.replace(QLatin1Char('.'), separator);
    return text;
}

} // namespace

QString general(double value, QChar separator)
{
    return generalWithDigits(value, 15, separator);
}

QString generalSingle(float value, QChar separator)
{
    return generalWithDigits(static_cast<double>(value), 7, separator);
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
