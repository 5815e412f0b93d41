// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>

// The noise and resolution figures of a time-domain block, as an evaluator of
// a precision converter asks for them with the input shorted. sigma is the
// sample standard deviation of the codes (divisor N - 1, two passes); L the
// LSB size in volts, B the bits of the full-scale range 2^B.
struct NoiseFigures {
    std::optional<double> rmsNoiseCodes;                   // sigma
    std::optional<double> rmsNoiseUv;                      // sigma L 10^6
    std::optional<double> ppNoiseCodes;                    // max - min
    std::optional<double> ppNoiseUv;                       // (max - min) L 10^6
    std::optional<double> offsetUv;                        // mean L 10^6
    std::optional<double> effectiveResolutionBits;         // log2(2^B / sigma)
    std::optional<double> noiseFreeResolutionBits;         // log2(2^B / (6.6 sigma))
    std::optional<double> noiseFreeResolutionMeasuredBits; // log2(2^B / (max - min))
    // The block's mean and sigma in codes, for the histogram's normal curve.
    std::optional<double> meanCodes;

    // Fewer than two samples give no figure; a constant block gives noise 0
    // and no resolution (its divisor is 0).
    static NoiseFigures compute(std::span<const std::int32_t> samples, int numBits, double lsbSize);
};
