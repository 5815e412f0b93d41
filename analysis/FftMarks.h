// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SpectralMetrics.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>
#include <vector>

// The marks the FFT view puts on the bins behind the metrics, and its four
// status texts. Built from kept tables on every pass, so that ticking a mark
// box only needs a redraw.
namespace FftMarks {

inline constexpr std::uint32_t DcColor = 0;              // black
inline constexpr std::uint32_t MainLobeColor = 255;      // red (red in the low byte)
inline constexpr std::uint32_t HarmonicColor = 8388736;  // purple: red 128, blue 128

// One graph annotation: placed at index 'index' with the mark symbol.
struct Mark {
    int index = 0;
    double x = 0;      // hertz
    double y = 0;      // dB
    std::uint32_t color = 0;
    QString text;
};

struct Groups {
    bool dcSpectrum = false;  // bins 0 .. NB - 1
    bool mainLobe = false;
    bool harmonics = false;
    bool operator==(const Groups &) const = default;
};

// Marks from annotation index 1 on, group by group (DC spectrum, main lobe,
// harmonics 2 .. H), one per lobe position; the first of each group carries
// its text ("DC", "Main Lobe", "H2" ...). levels is the FFT result array (all
// its entries), n the FFT length, numBins NB and numHarmonics H as they stand
// now (the tables may be older). Bins outside 0 .. n - 1, such as harmonic
// bins of a lobe reaching below DC or table entries cleared for a block too
// short to fill them, get no mark.
std::vector<Mark> marks(const Groups &groups, const LobeTables &tables, std::span<const double> levels,
                        int n, double sampleFreq, int numBins, int numHarmonics);

// "SNR: ", "SINAD: ", "THD: ", "SFDR: " each followed by its value with the
// pattern "0.####"; by "-" for a metric left uncomputed and for any metric of
// a spectrum of noise only.
QStringList statusTexts(const SpectralMetrics &metrics, QChar separator, bool noiseOnly = false);

} // namespace FftMarks
