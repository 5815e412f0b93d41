// SPDX-License-Identifier: GPL-3.0-or-later
#include "SineFitFigures.h"

#include "SineFit.h"
#include "Spectrum.h"

#include <cmath>
#include <complex>
#include <cstddef>

namespace {

// The peak between bins: the vertex of the parabola through the log
// magnitudes of the peak bin and its neighbours (exact for a Gaussian lobe,
// close for every window's main lobe).
double interpolatedPeak(std::span<const std::complex<double>> bins, std::int32_t peak)
{
    if (peak < 1 || static_cast<std::size_t>(peak) + 1 >= bins.size())
        return peak;
    const auto logMagnitude = [&](std::int32_t b) { return std::log(std::abs(bins[static_cast<std::size_t>(b)])); };
    const double below = logMagnitude(peak - 1);
    const double centre = logMagnitude(peak);
    const double above = logMagnitude(peak + 1);
    const double curvature = below - 2 * centre + above;
    if (!std::isfinite(curvature) || curvature >= 0)
        return peak;
    return peak + 0.5 * (below - above) / curvature;
}

} // namespace

SineFitFigures SineFitFigures::compute(std::span<const std::int32_t> samples, const Spectrum &spectrum,
                                       std::int32_t peakBin, double sampleFreq, int numBits, double lsbSize)
{
    SineFitFigures figures;
    const int n = spectrum.length();
    if (n < 4)
        return figures;
    const double start = interpolatedPeak(spectrum.bins().first(static_cast<std::size_t>(n) / 2), peakBin) / n;
    const std::optional<SineFit> fit = SineFit::fit(samples, start);
    if (!fit || !(fit->amplitude > 0))
        return figures;
    figures.fit = fit;
    figures.frequencyHz = fit->cyclesPerSample * sampleFreq;
    figures.amplitudeDbfs = 20 * std::log10(fit->amplitude / std::ldexp(1.0, numBits - 1));
    const double residualRms = std::sqrt(fit->residualPower);
    figures.residualRmsUv = residualRms * lsbSize * 1e6;
    if (fit->residualPower > 0) {
        figures.sinadDb = 10 * std::log10(fit->amplitude * fit->amplitude / 2 / fit->residualPower);
        figures.enob = (*figures.sinadDb - 1.76) / 6.02;
    }
    return figures;
}
