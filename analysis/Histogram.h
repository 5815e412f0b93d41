// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Progress.h"

#include <QChar>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

// Code histogram over the block's own range: 65536 bins of at least one code
// each from the smallest code up, and one more entry that collects every code
// beyond the last bin (not drawn). The count array is allocated once.
class Histogram
{
public:
    static constexpr int BinCount = 65536;

    Histogram();

    // Finds the smallest and largest code, the bin width ((max - min) / 65536,
    // at least 1.0) and counts; reports i / 8 at every eighth sample while
    // counting. An empty block gives all counts 0, minimum = maximum = 0 and
    // width 1.
    void compute(std::span<const std::int32_t> samples, const ProgressFn &progress = {});

    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    double binWidth() const { return m_width; }
    // BinCount + 1 entries; entry i counts the codes v with
    // floor((v - minimum) / width) = i, the last one also everything beyond.
    std::span<const double> counts() const { return m_counts; }
    // Bins 0 up to the one holding the maximum (entry BinCount when the
    // maximum falls there): every sample is counted in one of them. 0 for an
    // empty block.
    int binsInUse() const { return m_binsInUse; }
    // Centre of bin i on the code axis, for bins from firstBinCode of the
    // given width (a computed histogram's minimum and binWidth(), or a file's).
    static double binCentre(double firstBinCode, double width, std::size_t i)
    {
        return firstBinCode + static_cast<double>(i) * width + width / 2;
    }
    // "Bins (Bin Size:" followed by the width with the pattern "0.0##" and ")".
    QString axisLabel(QChar separator) const;

private:
    // floor((code - minimum) / width), at most BinCount.
    int binOf(double code) const;

    std::vector<double> m_counts;
    double m_minimum = 0;
    double m_maximum = 0;
    double m_width = 1.0;
    int m_binsInUse = 0;
};
