// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftWindow.h"
#include "SpectralMetrics.h"

#include <QString>
#include <optional>

class SineFit;

// Whether the set-up rather than the converter limits the FFT figures, and
// what to do about it. The fitted sine alone (no noise, no harmonics, no
// offset), windowed and transformed as the block was and measured with the
// same signal bins, harmonics and noise rule, reads the SINAD that its
// leakage alone allows. When that is within MarginDb of the block's measured
// SINAD, leakage is at least about half of the measured noise plus
// distortion, and it limits the figures:
// - SignalBins when NB is below the window's own (Auto) NB and, with the
//   window's own NB, the sine's leakage into the noise bins would stay more
//   than MarginDb below the block's: the main lobe reaches past NB.
// - Leakage otherwise: the window itself leaks (Rectangular on a tone between
//   bins, a four-term window beside a floor below -90 dB).
// The seven-term window with its own NB leaks near -180 dB and stays silent.
struct LeakageAdvice {
    enum class Limit { None, Leakage, SignalBins };
    static constexpr double MarginDb = 3.0;

    Limit limitedBy = Limit::None;
    // The SNR the fitted sine alone reads, its leakage the only noise; empty
    // when no advice was computed or it leaks nothing into the noise.
    std::optional<double> leakageSnrDb;
    // One line for beside the figures; empty for None.
    QString note;

    // The value of the JSON key limited_by: "leakage" or "signal_bins"; a
    // null QString (JSON null) for None.
    static QString limitName(Limit limit);

    // How the block's spectrum and metrics were computed.
    struct Setup {
        FftWindow window = FftWindow::Rectangular;
        int length = 0; // FFT length n, a power of two
        int numBins = 11;
        int numHarmonics = 10;
        SpectralMetrics::Noise noise = SpectralMetrics::Noise::Sums;
    };

    // fit is the block's sine fit; measured the metrics of the block's
    // spectrum (or average) with setup; ownBinsNoisePower the mean power of
    // its noise bins with the window's own NB (the noise density's), in the
    // scale of bins divided by n.
    static LeakageAdvice compute(const SineFit &fit, const Setup &setup, const SpectralMetrics &measured,
                                 double ownBinsNoisePower);
};
