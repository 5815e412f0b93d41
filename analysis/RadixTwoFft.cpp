// SPDX-License-Identifier: GPL-3.0-or-later
#include "RadixTwoFft.h"

#include <cmath>
#include <cstddef>

namespace {

// One stage: blocks of 2 * half points, butterflies between points k and k + half
// of each block with twiddle k of the stage.
void butterflyStage(double *__restrict re, double *__restrict im, const double *__restrict wr,
                    const double *__restrict wi, int n, int half)
{
    for (int block = 0; block < n; block += 2 * half) {
        double *__restrict re0 = re + block;
        double *__restrict im0 = im + block;
        double *__restrict re1 = re0 + half;
        double *__restrict im1 = im0 + half;
        for (int k = 0; k < half; ++k) {
            const double tr = wr[k] * re1[k] - wi[k] * im1[k];
            const double ti = wr[k] * im1[k] + wi[k] * re1[k];
            re1[k] = re0[k] - tr;
            im1[k] = im0[k] - ti;
            re0[k] = re0[k] + tr;
            im0[k] = im0[k] + ti;
        }
    }
}

// The first two stages have one and two butterflies per block, too few for the
// inner loop above; here the loop runs over the blocks instead.
void smallStage(double *__restrict re, double *__restrict im, double wr, double wi, int n,
                int half, int k)
{
    for (int p = k; p < n; p += 2 * half) {
        const int q = p + half;
        const double tr = wr * re[q] - wi * im[q];
        const double ti = wr * im[q] + wi * re[q];
        re[q] = re[p] - tr;
        im[q] = im[p] - ti;
        re[p] = re[p] + tr;
        im[p] = im[p] + ti;
    }
}

} // namespace

void RadixTwoFft::prepare(int n)
{
    if (n == m_length)
        return;
    m_length = n;
    const auto size = static_cast<std::size_t>(n);
    m_bitReversed.assign(size, 0);
    m_re.assign(size, 0.0);
    m_im.assign(size, 0.0);
    m_twiddleRe.assign(size > 0 ? size - 1 : 0, 0.0);
    m_twiddleIm.assign(m_twiddleRe.size(), 0.0);

    // The exchange order of the interleaved loop, recorded as a permutation.
    for (int i = 0, j = 0; i < n; ++i) {
        m_bitReversed[static_cast<std::size_t>(i)] = j;
        int m = n / 2;
        while (m >= 1 && j >= m) {
            j -= m;
            m /= 2;
        }
        j += m;
    }

    // mmax counts interleaved doubles (2 per point) as the recurrence was written for.
    for (int half = 1; half < n; half *= 2) {
        const int mmax = 2 * half;
        const double theta = 6.28318530717959 / mmax; // forward transform: sign +1
        double wtemp = std::sin(theta / 2);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (int k = 0; k < half; ++k) {
            m_twiddleRe[static_cast<std::size_t>(half - 1 + k)] = wr;
            m_twiddleIm[static_cast<std::size_t>(half - 1 + k)] = wi;
            wtemp = wr;
            wr = wtemp * wpr - wi * wpi + wr;
            wi = wi * wpr + wtemp * wpi + wi;
        }
    }
}

void RadixTwoFft::transform(std::span<std::complex<double>> data)
{
    const int n = static_cast<int>(data.size());
    if (n < 2)
        return;
    prepare(n);
    double *re = m_re.data();
    double *im = m_im.data();
    for (int i = 0; i < n; ++i) {
        const std::complex<double> &point = data[static_cast<std::size_t>(m_bitReversed[static_cast<std::size_t>(i)])];
        re[i] = point.real();
        im[i] = point.imag();
    }
    for (int half = 1; half < n; half *= 2) {
        const double *wr = m_twiddleRe.data() + (half - 1);
        const double *wi = m_twiddleIm.data() + (half - 1);
        if (half <= 2) {
            for (int k = 0; k < half; ++k)
                smallStage(re, im, wr[k], wi[k], n, half, k);
        } else {
            butterflyStage(re, im, wr, wi, n, half);
        }
    }
    for (int i = 0; i < n; ++i)
        data[static_cast<std::size_t>(i)] = {re[i], im[i]};
}
