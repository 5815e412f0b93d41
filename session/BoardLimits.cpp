// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardLimits.h"

#include "NuvarDriverClass.h"
#include "NuvarDriverLimits.h"

BoardLimits BoardLimits::of(NuvarDriverClass &driver)
{
    const auto *stated = dynamic_cast<const NuvarDriverLimits *>(&driver);
    if (!stated)
        return {};
    return {stated->SamplesMin(), stated->SamplesMax(), stated->SampleRateMin(), stated->SampleRateMax(),
            stated->SampleRateDefault()};
}
