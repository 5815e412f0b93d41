// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MetricOptions.h"

#include <array>
#include <complex>
#include <cstdint>
#include <span>

// The bins behind the metrics: the main lobe of the fundamental and the lobes
// of its harmonics 2 .. H. A lobe of NB bins around centre c holds c at
// position 0, c + 1 .. c + half at positions 1 .. half and c - 1 .. c - half at
// positions half + 1 .. NB - 1 (half = NB / 2).
struct LobeTables {
    static constexpr int MainLobeCapacity = 53;
    static constexpr int HarmonicRows = 41;
    static constexpr int HarmonicColumns = MetricOptions::NumBinsRange.high;

    // Entries 0 .. NB - 1 are used, clamped into the first Nyquist zone.
    std::array<std::int32_t, MainLobeCapacity> mainLobe{};
    // harmonics[h - 2][k]: lobe position k of harmonic h, folded into the
    // first Nyquist zone; entries of a lobe reaching below DC stay negative.
    std::array<std::array<std::int32_t, HarmonicColumns>, HarmonicRows> harmonics{};

    // Every entry becomes NoBin, so that nothing of an earlier block is marked.
    void clear();
    static constexpr std::int32_t NoBin = -1;
};

// SNR, SINAD, THD and SFDR in dB of a scaled spectrum, with the bin choices and
// tie rules the board's users know: the fundamental is the first largest bin
// from (NB + 1) / 2 upward, the main lobe counts each distinct bin once,
// harmonic bins shared with the main lobe or (at a lower lobe position) with an
// earlier harmonic are left out, and SFDR compares the two largest strict local
// maxima.
//
// How the noise is measured: Sums is the board's own rule (noise = total
// power less the signal and harmonic sums, so the noise in those bins counts
// as signal or distortion); NoiseBinMean takes the mean power p of the noise
// bins (neither DC, signal nor harmonic bins) as the noise of every bin, as
// IEEE 1241 does: noise = p x (bins from (NB + 1) / 2 to n/2 - 1), and p per bin
// comes off the signal and harmonic sums. There SFDR is the signal over the
// largest spur's lobe (NB bins around the largest local maximum outside the
// main lobe, less p per bin), so it does not depend on where in a bin the
// tones fall; a figure whose powers are not above 0 stays uncomputed.
struct SpectralMetrics {
    // A metric left uncomputed for lack of signal, noise or spur.
    static constexpr double Uncomputed = 999999999;

    enum class Noise { Sums, NoiseBinMean };

    double snr = Uncomputed;
    double sinad = Uncomputed;
    double thd = Uncomputed;
    double sfdr = Uncomputed;
    std::int32_t fundamental = 0;  // bin F
    // F is a bin of this block's search range (NB + 1) / 2 .. n/2 - 1 and
    // the signal power is not 0.
    bool fundamentalFound = false;

    // The sums behind the results, for tests and diagnostics.
    double signalPower = 0;     // Psig
    double harmonicPower = 0;   // Pharm
    double totalPower = 0;      // Ptot, bins (NB + 1) / 2 .. n/2 - 1
    double largestPeak = 0;     // L1
    double secondPeak = 0;      // L2
    // The mean power of the noise bins, 0 when there is none; either way.
    double noiseBinPower = 0;

    // bins holds the n scaled bins (bin b at index b, only 0 .. n/2 - 1 are
    // read); numBins is NB and numHarmonics H, clamped into their ranges
    // (MetricOptions). Clears tables, then fills them. Every metric stays
    // uncomputed when the FFT is too short for the analysis: fewer than two
    // bins, no bin from (NB + 1) / 2 to n/2 - 1, or every one of those bins in
    // the main lobe.
    static SpectralMetrics compute(std::span<const std::complex<double>> bins, int numBins,
                                   int numHarmonics, LobeTables &tables, Noise noise = Noise::Sums);
    // The same from the linear powers of bins 0 .. n/2 - 1 of an n-point
    // spectrum (an averaged one has no phases). A common factor of all powers,
    // such as a 0-dB reference, leaves every result but the sums unchanged.
    static SpectralMetrics computeFromPowers(std::span<const double> powers, std::int32_t n, int numBins,
                                             int numHarmonics, LobeTables &tables, Noise noise = Noise::Sums);
};
