// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftWindow.h"

#include <deque>
#include <span>
#include <vector>

// The mean spectrum of the last K blocks, averaged in linear power:
// level = 10 log10(mean of 10^(level_i / 10)). Averaging the dB values instead
// would read the noise floor about 2.5 dB low. Only blocks of one shape are
// averaged: a block of another FFT length, rate, scale, window or 0-dB
// reference starts the average over.
class SpectrumAverage
{
public:
    static constexpr int MinDepth = 2;
    static constexpr int MaxDepth = 1000;

    // What makes two spectra comparable bin for bin.
    struct Shape {
        int length = 0; // FFT length n
        double sampleFreq = 0;
        int numBits = 0;
        double lsbSize = 0;
        FftWindow window = FftWindow::Rectangular;
        bool normalizeToHighest = false;
        bool operator==(const Shape &) const = default;
    };

    explicit SpectrumAverage(int depth = MinDepth);

    // K, clamped into MinDepth .. MaxDepth; the oldest blocks beyond it go.
    void setDepth(int depth);
    int depth() const { return m_depth; }

    // Adds the n levels in dB of one block (n = shape.length; only bins
    // 0 .. n/2 are kept, the upper half of a real block's spectrum mirrors
    // them). Returns false when the block started the average over.
    bool add(const Shape &shape, std::span<const double> levels);
    void reset();

    // Blocks in the average, at most depth().
    int count() const { return static_cast<int>(m_blockPowers.size()); }
    const Shape &shape() const { return m_shape; }
    // The n averaged levels in dB, bin b at index b; empty before the first block.
    std::span<const double> levels() const { return m_levels; }
    // The mean linear power of bins 0 .. n/2 against the 0-dB reference.
    std::span<const double> meanPowers() const { return m_meanPowers; }

private:
    void recompute();

    int m_depth = MinDepth;
    Shape m_shape;
    // Linear powers of bins 0 .. n/2 of each block, oldest first. The mean is
    // summed afresh from them, so no rounding accumulates over a long run.
    std::deque<std::vector<double>> m_blockPowers;
    std::vector<double> m_meanPowers;
    std::vector<double> m_levels;
};
