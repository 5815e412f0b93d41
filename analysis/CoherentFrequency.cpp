// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoherentFrequency.h"

#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <numeric>

std::optional<CoherentFrequency> CoherentFrequency::nearest(double frequencyHz, double sampleFreq, std::int64_t n)
{
    if (n < 3 || !(sampleFreq > 0) || !std::isfinite(frequencyHz))
        return std::nullopt;
    const auto suits = [n](std::int64_t m) { return m > 0 && 2 * m < n && m % 2 == 1 && std::gcd(m, n) == 1; };
    // Cycles of the tone in the block, kept inside the range searched.
    const double cycles = std::clamp(frequencyHz * static_cast<double>(n) / sampleFreq, 0.0, n / 2.0);
    // Walk outwards from the tone, always to the nearer untried count; m = 1
    // suits every n from 3 on, so the walk ends.
    auto below = static_cast<std::int64_t>(std::floor(cycles));
    std::int64_t above = below + 1;
    for (;;) {
        const bool belowNearer = below > 0 && (2 * above >= n || cycles - below <= above - cycles);
        const std::int64_t m = belowNearer ? below-- : above++;
        if (suits(m))
            return CoherentFrequency{m, static_cast<double>(m) * sampleFreq / static_cast<double>(n)};
    }
}

QString CoherentFrequency::text(double frequencyHz, QChar separator)
{
    return QStringLiteral("Coherent: ") + NumberFormat::grouped(frequencyHz, 2, separator) + QStringLiteral(" Hz");
}
