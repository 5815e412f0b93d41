// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <complex>
#include <utility>
#include <vector>

// The transform written out plainly, step for step as the board software has
// always run it: 1-based interleaved data, exchange loop, twiddle recurrence.
// The optimised transform must give the same bins.
inline std::vector<std::complex<double>> referenceFft(const std::vector<std::complex<double>> &points)
{
    const int nn = static_cast<int>(points.size());
    std::vector<double> data(2 * static_cast<std::size_t>(nn) + 1, 0.0);
    for (int k = 1; k <= nn; ++k) {
        data[2 * k - 1] = points[k - 1].real();
        data[2 * k] = points[k - 1].imag();
    }
    const int len = 2 * nn;
    int j = 1;
    for (int i = 1; i <= len; i += 2) {
        if (j > i) {
            std::swap(data[j], data[i]);
            std::swap(data[j + 1], data[i + 1]);
        }
        int m = len / 2;
        while (m >= 2 && j > m) {
            j -= m;
            m /= 2;
        }
        j += m;
    }
    int mmax = 2;
    while (len > mmax) {
        const int istep = 2 * mmax;
        const double theta = (6.28318530717959 / mmax) * 1;
        double wtemp = std::sin(theta / 2);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (int m = 1; m <= mmax - 1; m += 2) {
            for (int i = m; i <= len; i += istep) {
                j = i + mmax;
                const double tr = wr * data[j] - wi * data[j + 1];
                const double ti = wr * data[j + 1] + wi * data[j];
                data[j] = data[i] - tr;
                data[j + 1] = data[i + 1] - ti;
                data[i] = data[i] + tr;
                data[i + 1] = data[i + 1] + ti;
            }
            wtemp = wr;
            wr = wtemp * wpr - wi * wpi + wr;
            wi = wi * wpr + wtemp * wpi + wi;
        }
        mmax = istep;
    }
    std::vector<std::complex<double>> result(points.size());
    for (int k = 1; k <= nn; ++k)
        result[k - 1] = {data[2 * k - 1], data[2 * k]};
    return result;
}
