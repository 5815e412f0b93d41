// SPDX-License-Identifier: GPL-3.0-or-later
#include "Spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

Spectrum::Spectrum()
    : m_bins(MaxLength), m_levels(MaxLength + 1)
{
}

int Spectrum::fftLength(std::int32_t numPoints)
{
    if (numPoints < 1)
        return 0;
    const auto exponent = static_cast<int>(std::log(static_cast<double>(numPoints)) / std::log(2.0));
    return std::min(1 << std::min(exponent, 30), MaxLength);
}

double Spectrum::decibels(double re, double im)
{
    if (re == 0.0 && im == 0.0)
        return 0.0;
    return 20.0 * std::log(std::sqrt(re * re + im * im)) / std::log(10.0);
}

double Spectrum::fullScaleReference(int numBits)
{
    return 20.0 * std::log(std::ldexp(1.0, numBits - 2)) / std::log(10.0);
}

double Spectrum::magnitude(double re, double im)
{
    if (re == 0.0 && im == 0.0)
        return 0.0;
    return std::sqrt(re * re + im * im);
}

const std::vector<double> &Spectrum::windowTable(FftWindow window, int n)
{
    if (window != m_windowKind || n != m_windowLength) {
        m_window.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            m_window[static_cast<std::size_t>(i)] = FftWindows::value(window, i, n);
        m_windowGains = WindowGains::of(m_window);
        m_windowKind = window;
        m_windowLength = n;
    }
    return m_window;
}

Spectrum::TransformStatus Spectrum::checkAndTransform(std::span<std::complex<double>> points,
                                                      std::int32_t progressStart,
                                                      const ProgressFn &progress)
{
    const auto n = static_cast<std::int64_t>(points.size());
    const double m = std::log(static_cast<double>(n)) / std::log(2.0);
    if (std::fabs(m - std::floor(m)) > 0.01 || n > MaxLength)
        return TransformStatus::LengthNotPowerOfTwo;
    m_fft.transform(points);
    if (progress) {
        for (std::int64_t k = 16; k <= n; k += 16)
            progress(progressStart + static_cast<std::int32_t>(k / 16));
    }
    return TransformStatus::Transformed;
}

Spectrum::TransformStatus Spectrum::compute(std::span<const std::int32_t> samples, FftWindow window,
                                            bool normalizeToHighest, int numBits,
                                            const ProgressFn &progress)
{
    const int n = fftLength(static_cast<std::int32_t>(std::min<std::size_t>(samples.size(), MaxLength * 2)));
    m_length = n;
    if (n == 0)
        return TransformStatus::Transformed;

    const std::vector<double> &w = windowTable(window, n);
    for (int i = 0; i < n; ++i) {
        if (i % 8 == 0)
            reportProgress(progress, i / 16);
        const auto at = static_cast<std::size_t>(i);
        m_bins[at] = {samples[at] * w[at], 0.0};
    }
    const std::int32_t lastProgress = (n - 1) / 8 * 8 / 16;
    const TransformStatus status =
        checkAndTransform(std::span(m_bins).first(static_cast<std::size_t>(n)), lastProgress, progress);

    const double len = n;
    double highest = 0;
    for (int k = 0; k < n; ++k) {
        const auto at = static_cast<std::size_t>(k);
        m_bins[at] = {m_bins[at].real() / len, m_bins[at].imag() / len};
        const double level = decibels(m_bins[at].real(), m_bins[at].imag());
        m_levels[at] = level;
        if (k == 0 || level > highest)
            highest = level;
    }
    m_reference = normalizeToHighest
                      ? highest
                      : fullScaleReference(numBits);
    for (int k = 0; k < n; ++k)
        m_levels[static_cast<std::size_t>(k)] -= m_reference;
    return status;
}
