// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftMarks.h"

#include "FigureCatalogue.h"

#include <algorithm>
#include <cstddef>

namespace FftMarks {

std::vector<Mark> marks(const Groups &groups, const LobeTables &tables, std::span<const double> levels,
                        int n, double sampleFreq, int numBins, int numHarmonics)
{
    std::vector<Mark> result;
    if (n < 1)
        return result;
    const int nb = std::clamp(numBins, 1, LobeTables::HarmonicColumns);
    const int harmonics = MetricOptions::NumHarmonicsRange.clamp(numHarmonics);
    const double len = n;
    int index = 1;
    auto level = [&](std::int32_t bin) { return levels[static_cast<std::size_t>(bin)]; };
    // Only levels of this transform: entries from n on belong to an earlier block.
    const auto binCount = std::min(static_cast<std::size_t>(n), levels.size());
    auto inRange = [&](std::int32_t bin) { return bin >= 0 && static_cast<std::size_t>(bin) < binCount; };

    if (groups.dcSpectrum) {
        for (int k = 0; k < nb && inRange(k); ++k)
            result.push_back({index++, k * sampleFreq / len, level(k), DcColor,
                              k == 0 ? QStringLiteral("DC") : QString()});
    }
    if (groups.mainLobe) {
        for (int p = 0; p < nb; ++p) {
            const std::int32_t e = tables.mainLobe[static_cast<std::size_t>(p)];
            if (!inRange(e))
                continue;
            result.push_back({index++, e * sampleFreq / len, level(e), MainLobeColor,
                              p == 0 ? QStringLiteral("Main Lobe") : QString()});
        }
    }
    if (groups.harmonics) {
        for (int h = 2; h <= harmonics; ++h) {
            const auto &row = tables.harmonics[static_cast<std::size_t>(h - 2)];
            for (int p = 0; p < nb; ++p) {
                const std::int32_t e = row[static_cast<std::size_t>(p)];
                if (!inRange(e))
                    continue;
                result.push_back({index++, (sampleFreq / len) * e, level(e), HarmonicColor,
                                  p == 0 ? QStringLiteral("H%1").arg(h) : QString()});
            }
        }
    }
    return result;
}

QStringList statusTexts(const SpectralMetrics &metrics, QChar separator, bool noiseOnly)
{
    FigureResults results;
    results.metrics = metrics;
    results.noiseOnly = noiseOnly;
    return FigureCatalogue::statusTexts({FigureCatalogue::Section::Spectrum}, results, separator, 4);
}

} // namespace FftMarks
