// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Progress.h"

#include <cstdint>
#include <span>

// Minimum, maximum and mean in codes, and the sample standard deviation in
// parts per million of the full-scale range 2^numBits.
struct TimeStatistics {
    double minimum = 0;
    double maximum = 0;
    double mean = 0;
    double stdDeviation = 0;

    // Reports progress i / 8 at every eighth sample. One sample gives a standard
    // deviation of 0; no samples give all results 0.
    static TimeStatistics compute(std::span<const std::int32_t> samples, int numBits,
                                  const ProgressFn &progress = {});
};
