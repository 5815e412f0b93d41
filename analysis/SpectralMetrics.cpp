// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectralMetrics.h"

#include "Spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// Position 0 the centre, 1 .. half above it, half + 1 .. nb - 1 below it.
void fillLobe(std::int32_t *lobe, std::int32_t centre, int numBins, int half)
{
    lobe[0] = centre;
    for (int p = 1; p <= half; ++p)
        lobe[p] = centre + p;
    for (int p = half + 1; p < numBins; ++p)
        lobe[p] = centre - (p - half);
}

double log10Of(double v)
{
    return std::log(v) / std::log(10.0);
}

// 10 log10(num / den), Uncomputed unless both are above 0.
double ratioDb(double num, double den)
{
    return num > 0 && den > 0 ? 10 * std::log10(num / den) : SpectralMetrics::Uncomputed;
}

// The bins the metrics chose, as the noise-bin estimate needs them.
struct BinLayout {
    std::int32_t n;
    int nb;
    int half;
    int start;
    std::int32_t lastBin;
    const std::int32_t *mainLobe;

    bool inMainLobe(std::int32_t k) const { return std::find(mainLobe, mainLobe + nb, k) != mainLobe + nb; }
};

// The mean power of the noise bins: from start up, in neither the main lobe
// nor a harmonic lobe; 0 (and count 0) when there is none.
template<typename PowerOf>
double meanNoiseBinPower(const BinLayout &layout, const LobeTables &tables, int harmonics, const PowerOf &power,
                         int &count)
{
    std::vector<bool> lobeBin(static_cast<std::size_t>(std::max(layout.lastBin + 1, 0)), false);
    auto markLobe = [&](const std::int32_t *lobe) {
        for (int p = 0; p < layout.nb; ++p)
            if (lobe[p] >= 0 && lobe[p] <= layout.lastBin)
                lobeBin[static_cast<std::size_t>(lobe[p])] = true;
    };
    markLobe(layout.mainLobe);
    for (int h = 2; h <= harmonics; ++h)
        markLobe(tables.harmonics[static_cast<std::size_t>(h - 2)].data());
    double sum = 0;
    count = 0;
    for (std::int32_t k = layout.start; k <= layout.lastBin; ++k) {
        if (!lobeBin[static_cast<std::size_t>(k)]) {
            sum += power(k);
            ++count;
        }
    }
    return count > 0 ? sum / count : 0.0;
}

// The four results with every bin's noise taken as the mean noise-bin power
// p: p comes off each of the signalTerms and harmonicTerms bins summed, and
// the spur is the lobe around the largest local maximum outside the main lobe.
template<typename PowerOf, typename MagnitudeOf>
void setNoiseBinMeanResults(SpectralMetrics &r, const BinLayout &layout, int signalTerms, int harmonicTerms,
                            const PowerOf &power, const MagnitudeOf &magnitude)
{
    const double p = r.noiseBinPower;
    const double noisePower = p * (layout.lastBin - layout.start + 1);
    const double signal = r.signalPower - p * signalTerms;
    const double distortion = r.harmonicPower - p * harmonicTerms;
    if (!(signal > 0))
        return;
    r.snr = ratioDb(signal, noisePower);
    r.sinad = ratioDb(signal, noisePower + distortion);
    r.thd = ratioDb(distortion, signal);
    std::int32_t spur = -1;
    for (std::int32_t k = layout.start + 1; k <= layout.n / 2 - 2; ++k) {
        const double a = magnitude(k);
        if (magnitude(k - 1) < a && magnitude(k + 1) < a && !layout.inMainLobe(k) && (spur < 0 || a > magnitude(spur)))
            spur = k;
    }
    if (spur < 0)
        return;
    double spurPower = 0;
    for (std::int32_t k = std::max(spur - layout.half, layout.start); k <= std::min(spur + layout.half, layout.lastBin);
         ++k)
        if (!layout.inMainLobe(k))
            spurPower += power(k) - p;
    r.sfdr = ratioDb(signal, spurPower);
}

} // namespace

void LobeTables::clear()
{
    mainLobe.fill(NoBin);
    for (auto &row : harmonics)
        row.fill(NoBin);
}

// The metrics of an n-point spectrum whose bin b has power power(b) and
// magnitude magnitude(b); only bins 0 .. n/2 - 1 are read.
template<typename PowerOf, typename MagnitudeOf>
static SpectralMetrics metricsOf(std::int32_t n, const PowerOf &power, const MagnitudeOf &magnitude, int numBins,
                                 int numHarmonics, LobeTables &tables, SpectralMetrics::Noise noiseRule)
{
    SpectralMetrics r;
    tables.clear();
    if (n < 2)
        return r;
    const int nb = std::clamp(numBins, 1, LobeTables::HarmonicColumns);
    const int harmonics = MetricOptions::NumHarmonicsRange.clamp(numHarmonics);
    const int half = nb / 2;
    const int start = (nb + 1) / 2;
    const std::int32_t lastBin = n / 2 - 1;

    // Fundamental: the first of equal maxima wins.
    double best = -99999;
    for (std::int32_t k = start; k <= lastBin; ++k) {
        const double a = magnitude(k);
        if (a > best) {
            best = a;
            r.fundamental = k;
        }
    }

    // Main lobe, clamped into the usable half of the spectrum.
    std::int32_t *mainLobe = tables.mainLobe.data();
    fillLobe(mainLobe, r.fundamental, nb, half);
    for (int p = 0; p < nb; ++p) {
        if (mainLobe[p] < half - 1)
            mainLobe[p] = half;
        if (mainLobe[p] > lastBin)
            mainLobe[p] = lastBin;
    }
    int signalTerms = 0;
    for (int i = 0; i < nb; ++i) {
        if (std::find(mainLobe, mainLobe + i, mainLobe[i]) == mainLobe + i) {
            r.signalPower += power(mainLobe[i]);
            ++signalTerms;
        }
    }
    // Without a bin beside the main lobe there is neither noise nor a spur to
    // measure: differences of equal sums would pass for figures.
    bool binBesideMainLobe = false;
    for (std::int32_t k = start; k <= lastBin && !binBesideMainLobe; ++k)
        binBesideMainLobe = std::find(mainLobe, mainLobe + nb, k) == mainLobe + nb;

    // Harmonic lobes, folded into the first Nyquist zone.
    for (int h = 2; h <= harmonics; ++h) {
        std::int32_t *row = tables.harmonics[static_cast<std::size_t>(h - 2)].data();
        const auto centre = static_cast<std::int32_t>((static_cast<std::int64_t>(r.fundamental) * h) % n);
        fillLobe(row, centre, nb, half);
        for (int p = 0; p < nb; ++p) {
            std::int32_t e = row[p];
            while (e > n - 1)
                e -= n;
            if (e > n / 2 - 1)
                e = n - e;
            if (e == n / 2)
                e = n / 2 - 1;
            row[p] = e;
        }
    }

    for (std::int32_t k = start; k <= lastBin; ++k)
        r.totalPower += power(k);

    // A harmonic bin counts unless it is below the lobe margin (or below DC),
    // in the main lobe, or met by an earlier harmonic at a lower lobe position.
    const std::int32_t lowestHarmonicBin = std::max(half - 1, 0);
    int harmonicTerms = 0;
    for (int h = 2; h <= harmonics; ++h) {
        const auto &row = tables.harmonics[static_cast<std::size_t>(h - 2)];
        for (int k = 0; k < nb; ++k) {
            const std::int32_t e = row[static_cast<std::size_t>(k)];
            if (e < lowestHarmonicBin || std::find(mainLobe, mainLobe + nb, e) != mainLobe + nb)
                continue;
            bool earlier = false;
            for (int g = 2; g < h && !earlier; ++g) {
                const auto &other = tables.harmonics[static_cast<std::size_t>(g - 2)];
                earlier = std::find(other.begin(), other.begin() + k, e) != other.begin() + k;
            }
            if (!earlier) {
                r.harmonicPower += power(e);
                ++harmonicTerms;
            }
        }
    }

    const double noiseAndDistortion = r.totalPower - r.signalPower;
    const double noise = noiseAndDistortion - r.harmonicPower;

    // Largest and second-largest strict local maxima.
    double l1 = -99999999999999;
    double l2 = -99999999999999;
    for (std::int32_t k = start + 1; k <= n / 2 - 2; ++k) {
        const double a = magnitude(k);
        if (magnitude(k - 1) < a && magnitude(k + 1) < a && l2 < a) {
            if (a > l1) {
                l2 = l1;
                l1 = a;
            } else {
                l2 = a;
            }
        }
    }
    r.largestPeak = l1;
    r.secondPeak = l2;

    const BinLayout layout{n, nb, half, start, lastBin, mainLobe};
    int noiseBins = 0;
    r.noiseBinPower = meanNoiseBinPower(layout, tables, harmonics, power, noiseBins);
    r.fundamentalFound = start <= lastBin && r.signalPower != 0;
    if (noiseRule == SpectralMetrics::Noise::NoiseBinMean) {
        if (noiseBins > 0)
            setNoiseBinMeanResults(r, layout, signalTerms, harmonicTerms, power, magnitude);
        return r;
    }
    if (binBesideMainLobe && noise != 0 && r.signalPower != 0 && noiseAndDistortion != 0 && l2 != 0) {
        r.snr = 10 * log10Of(std::fabs(r.signalPower / noise));
        if (r.harmonicPower != 0)
            r.thd = 10 * log10Of(std::fabs(r.harmonicPower / r.signalPower));
        r.sinad = 10 * log10Of(std::fabs(r.signalPower / noiseAndDistortion));
        r.sfdr = 20 * log10Of(std::fabs(l1 / l2));
    }
    return r;
}

SpectralMetrics SpectralMetrics::compute(std::span<const std::complex<double>> bins, int numBins,
                                         int numHarmonics, LobeTables &tables, Noise noise)
{
    const auto n = static_cast<std::int32_t>(std::min<std::size_t>(bins.size(), Spectrum::MaxLength));
    const auto power = [&](std::int32_t b) {
        const std::complex<double> &x = bins[static_cast<std::size_t>(b)];
        return x.real() * x.real() + x.imag() * x.imag();
    };
    const auto magnitude = [&](std::int32_t b) {
        const std::complex<double> &x = bins[static_cast<std::size_t>(b)];
        return Spectrum::magnitude(x.real(), x.imag());
    };
    return metricsOf(n, power, magnitude, numBins, numHarmonics, tables, noise);
}

SpectralMetrics SpectralMetrics::computeFromPowers(std::span<const double> powers, std::int32_t n, int numBins,
                                                   int numHarmonics, LobeTables &tables, Noise noise)
{
    // Without the powers of bins 0 .. n/2 - 1 nothing can be measured.
    const std::int32_t length = std::min<std::int32_t>(n, Spectrum::MaxLength);
    const bool covered = length >= 2 && powers.size() >= static_cast<std::size_t>(length / 2);
    const auto power = [&](std::int32_t b) { return powers[static_cast<std::size_t>(b)]; };
    const auto magnitude = [&](std::int32_t b) { return std::sqrt(powers[static_cast<std::size_t>(b)]); };
    return metricsOf(covered ? length : 0, power, magnitude, numBins, numHarmonics, tables, noise);
}
