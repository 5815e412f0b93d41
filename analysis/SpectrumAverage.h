// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftWindow.h"

#include <complex>
#include <deque>
#include <span>
#include <vector>

// The mean spectrum of the last K blocks, averaged in linear power: the mean
// of the scaled bins' |X|^2, then levels in dB against the 0-dB reference as a
// single block's. Averaging the dB values instead would read the noise floor
// about 2.5 dB low. The powers stay in the single block's units, so figures
// from them (a tone's level against full scale) read as a single block's, and
// a bin that is exactly 0 in every block stays 0 (no tone is made of nothing).
// Only blocks of one shape are averaged: a block of another FFT length, rate,
// scale, window or 0-dB reference starts the average over.
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

    // Adds the n scaled bins of one block (n = shape.length; only bins
    // 0 .. n/2 are kept, the upper half of a real block's spectrum mirrors
    // them). Returns false when the block started the average over.
    bool add(const Shape &shape, std::span<const std::complex<double>> bins);
    void reset();

    // Blocks in the average, at most depth().
    int count() const { return static_cast<int>(m_blockPowers.size()); }
    const Shape &shape() const { return m_shape; }
    // The n averaged levels in dB, bin b at index b; empty before the first
    // block. 0 dB is full scale, or with normalizeToHighest the highest level
    // of the average.
    std::span<const double> levels() const { return m_levels; }
    // The 0-dB reference of levels(), in dB of the mean |X|^2.
    double reference() const { return m_reference; }
    // The mean |X|^2 of the scaled bins 0 .. n/2.
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
    double m_reference = 0;
};
