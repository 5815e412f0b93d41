// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>
#include <optional>

// The frequency nearest a tone's at which a block of n samples holds an odd
// whole number of cycles m, coprime with n, below the Nyquist frequency
// (0 < 2m < n). Whole cycles put the tone on bin m's centre, so even the
// Rectangular window leaks nothing; coprime m makes the n samples meet n
// different phases of the sine, so the converter's codes are exercised
// rather than the same few repeated. For a power-of-two n every odd m is
// coprime with it.
struct CoherentFrequency {
    std::int64_t cycles = 0;  // m
    double frequencyHz = 0;   // m fs / n

    // Of the tone at frequencyHz; of two such frequencies equally near, the
    // lower. Nothing when n is below 3 (no such m) or sampleFreq not above 0.
    static std::optional<CoherentFrequency> nearest(double frequencyHz, double sampleFreq, std::int64_t n);

    // "Coherent: 1 001.47 Hz": two decimals, digits grouped by threes.
    static QString text(double frequencyHz, QChar separator);
};
