// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>

// The four-parameter least-squares sine fit of IEEE 1241: the sine
// a cos(w t) + b sin(w t) + offset of any frequency that fits the samples
// best, found by Gauss-Newton steps from a start frequency near the tone.
// Time is centred on the block and the columns scaled, so the normal
// equations stay well conditioned for blocks of any length.
class SineFit
{
public:
    static constexpr int MaxIterations = 50;
    // Converged when a frequency step is below this part of the frequency.
    static constexpr double FrequencyTolerance = 1e-12;

    double cyclesPerSample = 0;
    double amplitude = 0;        // codes, peak
    double offset = 0;           // codes
    double phase = 0;            // radians at sample 0, -pi .. pi
    double residualPower = 0;    // mean square of samples less the fitted sine and offset, codes^2

    // The fit of all samples, starting at startCyclesPerSample (0 .. 0.5);
    // nothing when it does not converge within MaxIterations or the block is
    // too short (fewer than 5 samples) to fit four parameters.
    // The fitted sine (without the offset) at sample i of the block:
    // amplitude cos(2 pi cyclesPerSample i + phase).
    double sineAt(double i) const;

    static std::optional<SineFit> fit(std::span<const std::int32_t> samples, double startCyclesPerSample);
};
