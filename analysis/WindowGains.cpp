// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowGains.h"

#include <vector>

double WindowGains::enbwBins() const
{
    return coherent != 0 ? power / (coherent * coherent) : 0.0;
}

WindowGains WindowGains::of(std::span<const double> values)
{
    WindowGains gains;
    if (values.empty())
        return gains;
    double sum = 0;
    double squares = 0;
    for (const double w : values) {
        sum += w;
        squares += w * w;
    }
    const auto n = static_cast<double>(values.size());
    gains.coherent = sum / n;
    gains.power = squares / n;
    return gains;
}

WindowGains WindowGains::of(FftWindow window, int n)
{
    std::vector<double> values(static_cast<std::size_t>(n > 0 ? n : 0));
    for (int i = 0; i < n; ++i)
        values[static_cast<std::size_t>(i)] = FftWindows::value(window, i, n);
    return of(values);
}
