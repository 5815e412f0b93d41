// SPDX-License-Identifier: GPL-3.0-or-later
#include "GraphTexts.h"

#include "NumberFormat.h"

namespace GraphTexts {

QString fftXLabel(double sampleFreq, int fftLength, QChar separator)
{
    const double resolution = fftLength > 0 ? sampleFreq / fftLength : 0.0;
    return QStringLiteral("Frequency (Hz), Resolution: ") + NumberFormat::pattern(resolution, 0, 2, separator) +
           QStringLiteral(" Hz");
}

QString fftSubtitle(FftWindow window, int fftLength)
{
    return FftWindows::title(window) + QStringLiteral(" for ") + QString::number(fftLength) + QStringLiteral(" Points");
}

QString timeFigures(const TimeStatistics &stats, QChar separator)
{
    return QStringLiteral("Min:") + NumberFormat::general(stats.minimum, separator) + QStringLiteral("     Max:") +
           NumberFormat::general(stats.maximum, separator) + QStringLiteral("     Mean:") +
           NumberFormat::pattern(stats.mean, 0, 4, separator) + QStringLiteral("     StdDev:") +
           NumberFormat::pattern(stats.stdDeviation, 0, 4, separator);
}

QString metric(double value, bool noiseOnly, QChar separator)
{
    return value == SpectralMetrics::Uncomputed || noiseOnly ? QStringLiteral("-")
                                                              : NumberFormat::pattern(value, 0, 4, separator);
}

QString fftFigures(const SpectralMetrics &metrics, bool noiseOnly, QChar separator)
{
    auto figure = [&](const char *label, double value) {
        return QLatin1String(label) + metric(value, noiseOnly, separator);
    };
    return figure(",     SNR:", metrics.snr) + figure("     SINAD:", metrics.sinad) +
           figure("     THD:", metrics.thd) + figure("     SFDR:", metrics.sfdr);
}

} // namespace GraphTexts
