// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectrumAverage.h"

#include "Spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

SpectrumAverage::SpectrumAverage(int depth)
{
    setDepth(depth);
}

void SpectrumAverage::setDepth(int depth)
{
    m_depth = std::clamp(depth, MinDepth, MaxDepth);
    if (static_cast<int>(m_blockPowers.size()) > m_depth) {
        while (static_cast<int>(m_blockPowers.size()) > m_depth)
            m_blockPowers.pop_front();
        recompute();
    }
}

bool SpectrumAverage::add(const Shape &shape, std::span<const std::complex<double>> bins)
{
    const bool sameShape = shape == m_shape && !m_blockPowers.empty();
    if (!sameShape) {
        m_blockPowers.clear();
        m_shape = shape;
    }
    const auto n = static_cast<std::size_t>(std::max(shape.length, 0));
    const std::size_t kept = std::min({n, n / 2 + 1, bins.size()});
    std::vector<double> powers(kept);
    for (std::size_t b = 0; b < kept; ++b)
        powers[b] = std::norm(bins[b]);
    m_blockPowers.push_back(std::move(powers));
    if (static_cast<int>(m_blockPowers.size()) > m_depth)
        m_blockPowers.pop_front();
    recompute();
    return sameShape;
}

void SpectrumAverage::reset()
{
    m_blockPowers.clear();
    m_meanPowers.clear();
    m_levels.clear();
}

void SpectrumAverage::recompute()
{
    const auto n = static_cast<std::size_t>(std::max(m_shape.length, 0));
    const std::size_t kept = m_blockPowers.empty() ? 0 : m_blockPowers.front().size();
    m_meanPowers.assign(kept, 0.0);
    for (const auto &powers : m_blockPowers) {
        for (std::size_t b = 0; b < kept; ++b)
            m_meanPowers[b] += powers[b];
    }
    const auto blocks = static_cast<double>(m_blockPowers.size());
    for (double &p : m_meanPowers)
        p /= blocks;
    m_levels.assign(kept == 0 ? 0 : n, 0.0);
    double highest = 0;
    for (std::size_t b = 0; b < kept; ++b) {
        // An exact zero reads 0 before the reference, as in a single block.
        m_levels[b] = m_meanPowers[b] > 0 ? 10.0 * std::log10(m_meanPowers[b]) : 0.0;
        if (b == 0 || m_levels[b] > highest)
            highest = m_levels[b];
    }
    m_reference = m_shape.normalizeToHighest ? highest : Spectrum::fullScaleReference(m_shape.numBits);
    for (std::size_t b = 0; b < kept; ++b)
        m_levels[b] -= m_reference;
    // Bins above n/2 mirror those below it, as they do in a real block's spectrum.
    for (std::size_t b = kept; b < m_levels.size(); ++b)
        m_levels[b] = m_levels[n - b];
}
