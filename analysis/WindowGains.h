// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftWindow.h"

#include <span>

// The two sums of a data window that turn FFT levels into amplitudes and
// densities. A tone centred on a bin keeps the coherent gain of its amplitude;
// white noise keeps the power gain of its power. Both come from the window's
// own n values, so the symmetric Hamming window and short lengths read true.
struct WindowGains {
    double coherent = 0; // sum of w / n
    double power = 0;    // sum of w^2 / n

    // The equivalent noise bandwidth in bins, n sum(w^2) / (sum w)^2: the width
    // of the rectangular filter that passes as much white noise as one bin of
    // the window (1 for Rectangular, 1.5 for Hanning, about 2.63 for the
    // seven-term window); 0 for a window that sums to 0.
    double enbwBins() const;

    static WindowGains of(std::span<const double> values);
    static WindowGains of(FftWindow window, int n);
};
