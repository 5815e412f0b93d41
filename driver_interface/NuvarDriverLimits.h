// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverExport.h"

#include <cstdint>

// An optional part of the contract: what the board can do, so that a program
// that knows no board offers only counts and rates the driver takes. A driver
// that states its limits also derives from this class; the program finds it
// at run time with dynamic_cast.
class NUVARDRIVER_EXPORT NuvarDriverLimits
{
public:
    virtual ~NuvarDriverLimits();

    // The sample counts (Samples) the board acquires, both included.
    virtual std::int32_t SamplesMin() const = 0;
    virtual std::int32_t SamplesMax() const = 0;
    // The rates (SampleRate) the board takes, in samples per second, both
    // included.
    virtual double SampleRateMin() const = 0;
    virtual double SampleRateMax() const = 0;
    // The rate a newly created driver is in.
    virtual double SampleRateDefault() const = 0;
};
