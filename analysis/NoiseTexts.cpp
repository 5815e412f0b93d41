// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoiseTexts.h"

#include <array>
#include <cmath>

namespace NoiseTexts {

namespace {

QString withSeparator(QString text, QChar separator)
{
    return text.replace(QLatin1Char('.'), separator);
}

QString withUnit(std::optional<double> value, const QString &number, const char *unit)
{
    return value ? number + QLatin1Char(' ') + QString::fromUtf8(unit) : QStringLiteral("-");
}

QString fixed(std::optional<double> value, int decimals, const char *unit, QChar separator)
{
    return withUnit(value, value ? withSeparator(QString::number(*value, 'f', decimals), separator) : QString(), unit);
}

} // namespace

QString significant3(double value, QChar separator)
{
    if (value == 0 || !std::isfinite(value))
        return QString::number(value == 0 ? 0.0 : value);
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const double step = std::pow(10.0, exponent - 2);
    const double rounded = std::round(value / step) * step;
    // 999.6 rounds up to 1000: one digit more before the separator.
    exponent = static_cast<int>(std::floor(std::log10(std::fabs(rounded))));
    return withSeparator(QString::number(rounded, 'f', std::max(0, 2 - exponent)), separator);
}

QString volts(double value, QChar separator)
{
    static const std::array<std::pair<double, const char *>, 4> units{
        {{1.0, "V"}, {1e-3, "mV"}, {1e-6, "µV"}, {1e-9, "nV"}}};
    auto unit = units.back();
    for (const auto &candidate : units) {
        if (std::fabs(value) >= candidate.first) {
            unit = candidate;
            break;
        }
    }
    if (value == 0)
        unit = units[2];
    return significant3(value / unit.first, separator) + QLatin1Char(' ') + QString::fromUtf8(unit.second);
}

QString microvolts(std::optional<double> value, QChar separator)
{
    return value ? volts(*value * 1e-6, separator) : QStringLiteral("-");
}

QString bits(std::optional<double> value, QChar separator)
{
    // A resolution below zero bits says only that the signal is large.
    return fixed(value && *value >= 0 ? value : std::nullopt, 2, "bits", separator);
}

} // namespace NoiseTexts
