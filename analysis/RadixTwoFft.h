// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <span>
#include <vector>

// In-place decimation-in-time radix-2 complex FFT,
//   X(k) = sum over j of x(j) * e^(+2 pi i j k / n),
// computed butterfly for butterfly as the board software always has: the same
// bit-reversal order, the same twiddle recurrence per stage (with its 2-pi
// constant 6.28318530717959) and the same operation order in every butterfly,
// so every bin equals that of the classic interleaved loop. The speed comes
// from tables built once per length (bit-reversal indices, the twiddles of
// every stage) and from work arrays of separate real and imaginary parts that
// the compiler can vectorise; nothing is allocated per transform.
class RadixTwoFft
{
public:
    // Transforms data in place; its size must be a power of two (0 and 1 leave
    // it unchanged). Tables are rebuilt only when the size changes.
    void transform(std::span<std::complex<double>> data);

private:
    void prepare(int n);

    int m_length = 0;
    std::vector<int> m_bitReversed;    // position i takes input point m_bitReversed[i]
    std::vector<double> m_twiddleRe;   // stage with half-block L: entries L - 1 .. 2L - 2
    std::vector<double> m_twiddleIm;
    std::vector<double> m_re;          // work arrays
    std::vector<double> m_im;
};
