// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SpectrumUnit.h"
#include "WindowGains.h"

#include <optional>
#include <span>
#include <vector>

class Spectrum;
class SpectrumAverage;

// What the FFT view's levels mean, and their conversion into another unit.
// The levels are 20 log10 |X| of the bins scaled by 1/n, less the 0-dB
// reference (full scale, or the highest bin with normalize); files and
// references keep them so.
//
// Only DbFullScale follows the 0-dB reference. The other units are absolute:
// the conversion adds the reference back, so they read the same with
// normalize on or off, and normalize has no effect on them.
//
// Window-corrected dBFS divides by the window's coherent gain. A density
// divides the window-corrected power by the window's equivalent noise
// bandwidth in Hz (ENBW bins x fs / n) and reads it one-sided: white noise of
// s codes RMS reads 2 s^2 / fs codes^2/Hz in every bin, in dBFS/Hz against a
// full-scale sine's power 2^(2B-2) / 2 codes^2, and in nV/sqrt(Hz) as
// s LSB / sqrt(fs / 2). This is the noise density figure's own definition.
// A tone drawn as a density reads its power over the ENBW: a density axis
// is for reading noise floors. A bin that is exactly 0, which the levels put
// at minus the reference, converts as a bin of |X| = 1, as it does there.
struct LevelScale {
    WindowGains window;     // of the FFT's window at its length
    int length = 0;         // FFT length n
    double sampleFreq = 0;  // Hz
    int numBits = 0;
    double lsbSize = 0;     // volts per code
    double reference = 0;   // the levels' 0-dB reference, in dB of |X|

    // The scale of a single block's spectrum as last computed.
    static LevelScale of(const Spectrum &spectrum, double sampleFreq, int numBits, double lsbSize);
    // The scale of an average's levels.
    static LevelScale of(const SpectrumAverage &average);

    // What a level gains in unit, in dB: level + offset is the value in the
    // dB units, and in dB re 1 nV/sqrt(Hz) for NanovoltsPerRootHz. Empty when
    // the block lacks what the unit needs: a transform, a sample rate above 0
    // for the densities, an LSB size above 0 for nV/sqrt(Hz).
    std::optional<double> offsetDb(SpectrumUnit unit) const;

    // A level in unit, given unit's offsetDb: level + offset, or
    // 10^((level + offset) / 20) nV/sqrt(Hz).
    static double inUnit(double level, SpectrumUnit unit, double offsetDb);
    // Every level in unit; empty when offsetDb(unit) is.
    std::vector<double> convert(std::span<const double> levels, SpectrumUnit unit) const;
};
