// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

// Reports the progress count reached by a long computation. The plot window
// turns each report into its CalcStatus event; an empty function reports nothing.
using ProgressFn = std::function<void(std::int32_t progress)>;

inline void reportProgress(const ProgressFn &progress, std::int32_t value)
{
    if (progress)
        progress(value);
}
