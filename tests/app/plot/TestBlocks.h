// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Plot.h"
#include "ViewGraph.h"
#include "frmPlot.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

// Blocks for the plot window's tests: a sine of a given amplitude on a bin of
// length, with a small repeating dither, handed over as the window's block.
namespace TestBlocks {

inline std::vector<std::int32_t> sineCodes(int count, int bin, int length, double amplitude, int offset = 0)
{
    std::vector<std::int32_t> codes(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        codes[static_cast<std::size_t>(i)] = offset + static_cast<std::int32_t>(std::lround(
            amplitude * std::sin(2 * std::numbers::pi * bin * i / length) + (i % 3) - 1));
    return codes;
}

inline void loadBlock(frmPlot &plot, const std::vector<std::int32_t> &codes, std::int16_t numBits = 24,
                      double sampleFreq = 4096.0)
{
    plot.setDeviceID(QStringLiteral("KZ7305"));
    plot.setLSBSize(1e-6);
    plot.setNumBits(numBits);
    plot.setnumPoints(static_cast<std::int32_t>(codes.size()));
    plot.setSampleFreq(sampleFreq);
    plot.LoadData(codes);
}

// The subtitle a printout of the view on show carries; the screen keeps its own.
inline QString printedSubtitle(frmPlot &plot)
{
    const QString screen = plot.plot()->subTitle();
    ViewGraph::addPrintFigures(plot.document(), *plot.plot());
    const QString printed = plot.plot()->subTitle();
    plot.plot()->setSubTitle(screen);
    return printed;
}

} // namespace TestBlocks
