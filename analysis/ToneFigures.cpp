// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToneFigures.h"

#include "Spectrum.h"

#include <cmath>

ToneFigures ToneFigures::compute(const SpectralMetrics &metrics, const Spectrum &spectrum, int numBins, int numBits)
{
    ToneFigures figures;
    if (metrics.sinad != SpectralMetrics::Uncomputed)
        figures.enob = (metrics.sinad - 1.76) / 6.02;
    figures.toneFound = metrics.snr != SpectralMetrics::Uncomputed && metrics.snr >= ToneThresholdDb;

    // The fundamental is searched from (NB + 1) / 2 to n/2 - 1; an empty range
    // found none, whatever power its clamped lobe holds.
    const int n = spectrum.length();
    const bool searched = n / 2 - 1 >= (numBins + 1) / 2;
    const double gain = spectrum.windowPowerGain();
    if (searched && metrics.signalPower > 0 && gain > 0) {
        // A sine of amplitude A puts A^2 / 4 times the window's power gain into
        // its one-sided main lobe; full scale is A = 2^(numBits - 1).
        const double fullScaleLobePower = std::ldexp(1.0, 2 * numBits - 4);
        figures.fundamentalDbfs = 10.0 * std::log10(metrics.signalPower / (gain * fullScaleLobePower));
    }
    return figures;
}
