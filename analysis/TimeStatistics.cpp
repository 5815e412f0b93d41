// SPDX-License-Identifier: GPL-3.0-or-later
#include "TimeStatistics.h"

#include <cmath>

TimeStatistics TimeStatistics::compute(std::span<const std::int32_t> samples, int numBits,
                                       const ProgressFn &progress)
{
    TimeStatistics result;
    if (samples.empty())
        return result;
    const auto count = static_cast<std::int32_t>(samples.size());
    result.minimum = result.maximum = samples[0];
    double sum = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        if (i % 8 == 0)
            reportProgress(progress, i / 8);
        const double x = samples[static_cast<std::size_t>(i)];
        if (x < result.minimum)
            result.minimum = x;
        if (x > result.maximum)
            result.maximum = x;
        sum += x;
    }
    result.mean = sum / count;
    if (count < 2)
        return result;
    const double fullScale = std::ldexp(1.0, numBits);
    double acc = 0;
    for (const std::int32_t sample : samples) {
        const double d = (sample - result.mean) / fullScale;
        acc += d * d;
    }
    result.stdDeviation = std::sqrt(acc / (count - 1)) * 1000000.0;
    return result;
}
