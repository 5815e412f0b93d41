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

QString significantWithUnit(std::optional<double> value, const char *unit, QChar separator)
{
    return withUnit(value, value ? significant3(*value, separator) : QString(), unit);
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

QString codes(std::optional<double> value, QChar separator)
{
    return significantWithUnit(value, "codes", separator);
}

QString bits(std::optional<double> value, QChar separator)
{
    // A negative resolution is no resolution: shown as "-".
    const bool shown = value.has_value() && *value >= 0;
    return fixed(shown ? value : std::nullopt, 2, "bits", separator);
}

QString dbfs(std::optional<double> value, QChar separator)
{
    return fixed(value, 2, "dBFS", separator);
}

QList<Row> noiseRows(const NoiseFigures &f, QChar separator)
{
    return {{QStringLiteral("RMS noise"), codes(f.rmsNoiseCodes, separator)},
            {QStringLiteral("RMS noise"), microvolts(f.rmsNoiseUv, separator)},
            {QStringLiteral("P-P noise"), codes(f.ppNoiseCodes, separator)},
            {QStringLiteral("P-P noise"), microvolts(f.ppNoiseUv, separator)},
            {QStringLiteral("Offset"), microvolts(f.offsetUv, separator)},
            {QStringLiteral("Effective res."), bits(f.effectiveResolutionBits, separator)},
            {QStringLiteral("Noise-free res."), bits(f.noiseFreeResolutionBits, separator)},
            {QStringLiteral("Noise-free, p-p"), bits(f.noiseFreeResolutionMeasuredBits, separator)}};
}

QList<Row> toneRows(const ToneFigures &f, int signalBins, QChar separator)
{
    // Without a tone the FFT's ENOB and level would describe a noise bin.
    const auto ifTone = [&](std::optional<double> value) { return f.toneFound ? value : std::nullopt; };
    const SineFitFigures &fit = f.sineFit;
    return {{QStringLiteral("ENOB"), bits(ifTone(f.enob), separator)},
            {QStringLiteral("Fundamental"), dbfs(ifTone(f.fundamentalDbfs), separator)},
            {QStringLiteral("Signal bins"), QString::number(signalBins)},
            {QStringLiteral("Sine fit"), fixed(fit.frequencyHz, 4, "Hz", separator)},
            {QStringLiteral("Sine fit"), dbfs(fit.amplitudeDbfs, separator)},
            {QStringLiteral("Sine-fit SINAD"), fixed(fit.sinadDb, 2, "dB", separator)},
            {QStringLiteral("Sine-fit ENOB"), bits(fit.enob, separator)},
            {QStringLiteral("Residual RMS"), microvolts(fit.residualRmsUv, separator)},
            {QStringLiteral("Noise density"), fixed(f.noiseDensity.dbfsPerHz, 2, "dBFS/Hz", separator)},
            {QStringLiteral("Noise density"), significantWithUnit(f.noiseDensity.nvPerRtHz, "nV/√Hz", separator)}};
}

QString printLine(const NoiseFigures &f, QChar separator)
{
    return QStringLiteral("RMS noise: ") + microvolts(f.rmsNoiseUv, separator) + QStringLiteral("     P-P noise: ") +
           microvolts(f.ppNoiseUv, separator) + QStringLiteral("     Offset: ") + microvolts(f.offsetUv, separator) +
           QStringLiteral("     Effective resolution: ") + bits(f.effectiveResolutionBits, separator) +
           QStringLiteral("     Noise-free resolution: ") + bits(f.noiseFreeResolutionBits, separator);
}

} // namespace NoiseTexts
