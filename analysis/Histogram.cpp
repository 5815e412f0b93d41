// SPDX-License-Identifier: GPL-3.0-or-later
#include "Histogram.h"

#include "NumberFormat.h"

#include <algorithm>
#include <cstddef>

Histogram::Histogram()
    : m_counts(BinCount + 1, 0.0)
{
}

void Histogram::compute(std::span<const std::int32_t> samples, const ProgressFn &progress)
{
    std::fill(m_counts.begin(), m_counts.end(), 0.0);
    if (samples.empty()) {
        m_minimum = m_maximum = 0;
        m_width = 1.0;
        m_binsInUse = 0;
        return;
    }
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    m_minimum = *low;
    m_maximum = *high;
    m_width = std::max((m_maximum - m_minimum) / BinCount, 1.0);

    m_binsInUse = binOf(m_maximum) + 1;

    const auto count = static_cast<std::int32_t>(samples.size());
    for (std::int32_t i = 0; i < count; ++i) {
        if (i % 8 == 0)
            reportProgress(progress, i / 8);
        m_counts[static_cast<std::size_t>(binOf(samples[static_cast<std::size_t>(i)]))] += 1;
    }
}

int Histogram::binOf(double code) const
{
    // Codes never lie below the minimum, so the quotient is never negative.
    const double offset = (code - m_minimum) / m_width;
    return static_cast<int>(std::min(offset, static_cast<double>(BinCount)));
}

QString Histogram::axisLabel(QChar separator) const
{
    return QStringLiteral("Bins (Bin Size:") + NumberFormat::pattern(m_width, 1, 3, separator)
           + QLatin1Char(')');
}
