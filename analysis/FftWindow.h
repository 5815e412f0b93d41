// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The data windows of the FFT view, in the order of the plot window's window
// options (index 0 is the start selection).
enum class FftWindow {
    Rectangular = 0,
    Hamming = 1,
    Hanning = 2,
    Blackman = 3,
    BlackmanHarris = 4,
    Continuous5thDerivative = 5,
    Triangular = 6,
    // Sidelobes near -180 dB: leakage stays below a 24-bit converter's noise.
    BlackmanHarris7 = 7,
};

namespace FftWindows {

inline constexpr int Count = 8;

// The window kind of option index, Rectangular for an index out of range.
FftWindow fromIndex(int index);

// w(i) for i = 0 .. n - 1. Hamming divides by n - 1 and is symmetric (0.08 at
// both ends; a one-point Hamming window is 0.08 rather than 0/0); the others
// divide by n and are periodic. The cosine arguments of the first seven use
// the board software's own 2-pi constants (6.28318530717958 and its double and
// triple), not M_PI, so the levels match those of earlier releases to the last
// digit; the seven-term window, new, uses 2 pi itself.
double value(FftWindow kind, int i, int n);

// Caption of the window option, e.g. "Rectangular (unchanged)".
QString caption(FftWindow kind);
// Name in the FFT graph's subtitle, e.g. "Rectangular Window".
QString title(FftWindow kind);

} // namespace FftWindows
