// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoiseDensity.h"

#include <cmath>

NoiseDensity NoiseDensity::compute(double noiseBinPower, int n, double windowPowerGain, double sampleFreq,
                                   int numBits, double lsbSize)
{
    NoiseDensity density;
    if (n < 1 || !(windowPowerGain > 0) || !(sampleFreq > 0) || !(noiseBinPower >= 0))
        return density;
    // A white variance s^2 puts s^2 sum(w^2) / n^2 into every scaled bin.
    const double variance = noiseBinPower * n / windowPowerGain;
    const double codesPerHz = 2 * variance / sampleFreq;
    if (codesPerHz > 0)
        density.dbfsPerHz = 10 * std::log10(codesPerHz / (std::ldexp(1.0, 2 * numBits - 2) / 2));
    if (lsbSize > 0)
        density.nvPerRtHz = std::sqrt(codesPerHz) * lsbSize * 1e9;
    return density;
}
