// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

class NuvarDriverClass;

// What the board can do, as the program offers it: the sample counts, the
// rates and the rate a new driver starts with. A driver states them through
// the contract's limits interface; for one that does not (a driver written
// before it), the program offers the range it always has.
struct BoardLimits {
    std::int32_t minSamples = 8;
    std::int32_t maxSamples = 43690;
    double minSampleRate = 10.0;
    double maxSampleRate = 50000.0;
    double defaultSampleRate = 20833.0;

    // The driver's limits, or the ones above when it states none.
    static BoardLimits of(NuvarDriverClass &driver);

    bool operator==(const BoardLimits &) const = default;
};
