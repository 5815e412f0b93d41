// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoiseFigures.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double MicrovoltsPerVolt = 1e6;
// Peak-to-peak over RMS that holds 99.9 % of Gaussian noise.
constexpr double NoiseFreeCrestFactor = 6.6;

// log2(2^numBits / spread), written so 2^numBits never overflows.
std::optional<double> bitsAbove(double spread, int numBits)
{
    if (!(spread > 0))
        return std::nullopt;
    return numBits - std::log2(spread);
}

} // namespace

NoiseFigures NoiseFigures::compute(std::span<const std::int32_t> samples, int numBits, double lsbSize)
{
    NoiseFigures figures;
    if (samples.size() < 2)
        return figures;
    double sum = 0;
    for (const std::int32_t code : samples)
        sum += code;
    const double count = static_cast<double>(samples.size());
    const double mean = sum / count;
    // Second pass about the mean: no cancellation, however large the offset.
    double squares = 0;
    for (const std::int32_t code : samples) {
        const double d = code - mean;
        squares += d * d;
    }
    const double sigma = std::sqrt(squares / (count - 1));
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    const double spread = static_cast<double>(*high) - static_cast<double>(*low);

    const double uvPerCode = lsbSize * MicrovoltsPerVolt;
    figures.rmsNoiseCodes = sigma;
    figures.rmsNoiseUv = sigma * uvPerCode;
    figures.ppNoiseCodes = spread;
    figures.ppNoiseUv = spread * uvPerCode;
    figures.offsetUv = mean * uvPerCode;
    figures.effectiveResolutionBits = bitsAbove(sigma, numBits);
    figures.noiseFreeResolutionBits = bitsAbove(NoiseFreeCrestFactor * sigma, numBits);
    figures.noiseFreeResolutionMeasuredBits = bitsAbove(spread, numBits);
    figures.meanCodes = mean;
    return figures;
}
