// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftWindow.h"
#include "Progress.h"
#include "RadixTwoFft.h"
#include "WindowGains.h"

#include <complex>
#include <cstdint>
#include <span>
#include <vector>

// The FFT of the plot window's FFT view: the first n samples (n the largest
// power of two not above the sample count, at most MaxLength), multiplied by a
// data window, transformed, scaled by 1/n and turned into levels in dB against
// a 0-dB reference. The tables have fixed capacity and are allocated once.
class Spectrum
{
public:
    static constexpr int MaxLength = 32768;
    // Text of the message shown when a transform length is not a power of two.
    static constexpr auto LengthMessage = "ARRAY DIMENSION SHOULD BE 2^M";

    enum class TransformStatus { Transformed, LengthNotPowerOfTwo };

    Spectrum();

    // 2^floor(ln(numPoints) / ln(2)), capped at MaxLength (the spectrum buffer's
    // capacity); 0 for numPoints below 1.
    static int fftLength(std::int32_t numPoints);

    // 20 log10 |re + i im|, and 0 for an exact zero.
    static double decibels(double re, double im);
    // The level in dB of a full-scale sine's bin (amplitude 2^(numBits - 1))
    // in the scaled spectrum: the 0-dB reference unless normalised.
    static double fullScaleReference(int numBits);
    // |re + i im|, and 0 for an exact zero.
    static double magnitude(double re, double im);

    // Windows, transforms, scales and converts to dB. samples.size() is the
    // sample count; numBits sets the full-scale reference (full scale sine of
    // amplitude 2^(numBits - 1) reads 0 dB), normalizeToHighest uses the highest
    // level of all n bins instead. Progress: i / 16 at every eighth windowed
    // sample, then one more per 16 points copied back from the transform. With
    // no samples nothing is transformed and length() is 0. Returns the status of
    // the transform step; the rest runs in either case.
    TransformStatus compute(std::span<const std::int32_t> samples, FftWindow window,
                            bool normalizeToHighest, int numBits, const ProgressFn &progress = {});

    // Copies the first points entries into a work array, transforms them and
    // copies them back, reporting progressStart + k / 16 at every sixteenth
    // point k. A length that is not a power of two (within 0.01 of its base-2
    // logarithm) or above MaxLength leaves the entries untouched.
    TransformStatus checkAndTransform(std::span<std::complex<double>> points,
                                      std::int32_t progressStart = 0,
                                      const ProgressFn &progress = {});

    int length() const { return m_length; }
    // The scaled spectrum: entry b is bin b (entries from length() on are stale).
    std::span<const std::complex<double>> bins() const { return m_bins; }
    // The dB levels: entry b is the level of bin b, b < length(); MaxLength + 1
    // entries, those from length() on hold whatever a longer transform left.
    std::span<const double> levels() const { return m_levels; }
    // The 0-dB reference of the last computation, in dB.
    double reference() const { return m_reference; }
    // The last computation's window gains (zero when nothing was transformed).
    WindowGains windowGains() const { return m_length > 0 ? m_windowGains : WindowGains{}; }
    // Its power gain: the sum of the squared window values over n (1 for
    // Rectangular, 0 when nothing was transformed).
    double windowPowerGain() const { return windowGains().power; }

private:
    const std::vector<double> &windowTable(FftWindow window, int n);

    std::vector<std::complex<double>> m_bins;
    std::vector<double> m_levels;
    int m_length = 0;
    double m_reference = 0;
    RadixTwoFft m_fft;
    // Window values of the last kind and length, reused for the next block.
    std::vector<double> m_window;
    FftWindow m_windowKind = FftWindow::Rectangular;
    int m_windowLength = -1;
    WindowGains m_windowGains;
};
