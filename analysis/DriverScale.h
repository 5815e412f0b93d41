// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The scale of a received block, derived from a driver's scaling values for
// channel 0: volts per code over the code range, and the number of bits of that
// range rounded half to even (the program keeps whole bits).
struct DriverScale {
    double lsbSize = 0;
    std::int16_t numBits = 0;

    static DriverScale fromRange(double minVolt, double maxVolt, std::int64_t minCode, std::int64_t maxCode);
};
