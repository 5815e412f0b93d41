// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToneFigures.h"

#include "Spectrum.h"

#include <algorithm>
#include <cmath>
#include <vector>

bool ToneFigures::hasClearPeak(const SpectralMetrics &metrics, const Spectrum &spectrum, int numBins)
{
    const int first = (numBins + 1) / 2;
    const int end = spectrum.length() / 2;
    if (!metrics.fundamentalFound || end - first < 3)
        return false;
    const std::span<const double> levels = spectrum.levels();
    std::vector<double> searched(levels.begin() + first, levels.begin() + end);
    const auto middle = searched.begin() + static_cast<std::ptrdiff_t>(searched.size() / 2);
    std::nth_element(searched.begin(), middle, searched.end());
    return levels[static_cast<std::size_t>(metrics.fundamental)] >= *middle + ClearPeakDb;
}

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
