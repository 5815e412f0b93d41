// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LeakageAdvice.h"
#include "NoiseDensity.h"
#include "SineFitFigures.h"
#include "SpectralMetrics.h"

#include <optional>

class Spectrum;

// What the FFT view tells beyond the four metrics: the effective number of
// bits, the tone's level against full scale, and whether there is a tone at
// all (without one the metrics describe noise only).
struct ToneFigures {
    // SNR at or above this many dB counts as a tone.
    static constexpr double ToneThresholdDb = 10.0;
    // A fundamental bin this many dB above the median bin is worth a sine
    // fit whatever the SNR: a tone whose leakage fills the noise bins
    // (Rectangular between bins) reads an SNR near 10 dB yet stands far above
    // most bins. The highest of white noise's bins stands about 10 dB above
    // their median.
    static constexpr double ClearPeakDb = 30.0;

    std::optional<double> enob;            // (SINAD - 1.76) / 6.02
    std::optional<double> fundamentalDbfs; // main-lobe power over the window's power gain
    bool toneFound = false;
    // Of the whole block, empty without a tone.
    SineFitFigures sineFit;
    // Of the noise bins, tone or not.
    NoiseDensity noiseDensity;
    // Whether the set-up limits the figures, judged by the sine fit; none
    // without a fit.
    LeakageAdvice leakage;

    // metrics are those of spectrum's bins with numBins NB; numBits sets full
    // scale (a sine of amplitude 2^(numBits - 1) reads 0 dBFS in every window).
    static ToneFigures compute(const SpectralMetrics &metrics, const Spectrum &spectrum, int numBins, int numBits);
    // Whether the fundamental's bin stands ClearPeakDb above the median of the
    // bins it was searched among.
    static bool hasClearPeak(const SpectralMetrics &metrics, const Spectrum &spectrum, int numBins);
};
