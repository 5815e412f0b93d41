// SPDX-License-Identifier: GPL-3.0-or-later
#include "LeakageAdvice.h"

#include "MetricOptions.h"
#include "RadixTwoFft.h"
#include "SineFit.h"

#include <cmath>
#include <complex>
#include <vector>

namespace {

// The first n samples of the fitted sine, windowed, transformed and scaled by
// 1/n as the block's spectrum is.
std::vector<std::complex<double>> sineSpectrum(const SineFit &fit, FftWindow window, int n)
{
    std::vector<std::complex<double>> bins(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        bins[static_cast<std::size_t>(i)] = fit.sineAt(i) * FftWindows::value(window, i, n);
    RadixTwoFft().transform(bins);
    for (std::complex<double> &bin : bins)
        bin /= n;
    return bins;
}

QString noteFor(LeakageAdvice::Limit limit, const LeakageAdvice::Setup &setup, double snrDb)
{
    const QString snr = QString::number(std::lround(snrDb));
    if (limit == LeakageAdvice::Limit::SignalBins)
        return QStringLiteral("NB %1 is narrower than the window's main lobe and limits SNR to about %2 dB: "
                              "choose Auto bins (NB %3)")
            .arg(setup.numBins)
            .arg(snr)
            .arg(MetricOptions::autoNumBins(setup.window));
    if (setup.window == FftWindow::Rectangular)
        return QStringLiteral("Tone between bins with Rectangular: choose a window or a coherent frequency");
    return QStringLiteral("Window leakage limits SNR to about %1 dB: choose Blackman-Harris 7-term or Auto bins")
        .arg(snr);
}

} // namespace

QString LeakageAdvice::limitName(Limit limit)
{
    switch (limit) {
    case Limit::None:
        break;
    case Limit::Leakage:
        return QStringLiteral("leakage");
    case Limit::SignalBins:
        return QStringLiteral("signal_bins");
    }
    return {};
}

LeakageAdvice LeakageAdvice::compute(const SineFit &fit, const Setup &setup, const SpectralMetrics &measured,
                                     double ownBinsNoisePower)
{
    LeakageAdvice advice;
    const int n = setup.length;
    const bool powerOfTwo = n >= 4 && (n & (n - 1)) == 0;
    if (!powerOfTwo || measured.sinad == SpectralMetrics::Uncomputed)
        return advice;
    const std::vector<std::complex<double>> bins = sineSpectrum(fit, setup.window, n);
    LobeTables tables;
    const SpectralMetrics alone =
        SpectralMetrics::compute(bins, setup.numBins, setup.numHarmonics, tables, setup.noise);
    if (alone.snr == SpectralMetrics::Uncomputed)
        return advice;
    advice.leakageSnrDb = alone.snr;
    if (alone.sinad == SpectralMetrics::Uncomputed || alone.sinad > measured.sinad + MarginDb)
        return advice;

    advice.limitedBy = Limit::Leakage;
    const int ownBins = MetricOptions::autoNumBins(setup.window);
    if (setup.numBins < ownBins) {
        const double ownLeakage =
            SpectralMetrics::compute(bins, ownBins, setup.numHarmonics, tables, setup.noise).noiseBinPower;
        if (ownLeakage < ownBinsNoisePower * std::pow(10.0, -MarginDb / 10))
            advice.limitedBy = Limit::SignalBins;
    }
    advice.note = noteFor(advice.limitedBy, setup, *advice.leakageSnrDb);
    return advice;
}
