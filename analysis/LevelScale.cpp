// SPDX-License-Identifier: GPL-3.0-or-later
#include "LevelScale.h"

#include "Spectrum.h"
#include "SpectrumAverage.h"

#include <cmath>

LevelScale LevelScale::of(const Spectrum &spectrum, double sampleFreq, int numBits, double lsbSize)
{
    return {spectrum.windowGains(), spectrum.length(), sampleFreq, numBits, lsbSize, spectrum.reference()};
}

LevelScale LevelScale::of(const SpectrumAverage &average)
{
    const SpectrumAverage::Shape &shape = average.shape();
    return {WindowGains::of(shape.window, shape.length), shape.length, shape.sampleFreq, shape.numBits,
            shape.lsbSize, average.reference()};
}

std::optional<double> LevelScale::offsetDb(SpectrumUnit unit) const
{
    if (unit == SpectrumUnit::DbFullScale)
        return 0.0;
    if (length < 1 || !(window.coherent > 0) || !(window.power > 0))
        return std::nullopt;
    // From the levels back to dB of |X|, then against a full-scale tone on a
    // bin (|X| = 2^(B-2) with Rectangular).
    const double againstFullScale = reference - Spectrum::fullScaleReference(numBits);
    if (unit == SpectrumUnit::DbfsWindowCorrected)
        return againstFullScale - 20 * std::log10(window.coherent);
    if (!(sampleFreq > 0))
        return std::nullopt;
    // coherent^2 x ENBW in Hz = power gain x fs / n.
    const double enbwPowerHz = window.power * sampleFreq / length;
    if (unit == SpectrumUnit::DbfsPerHz)
        return againstFullScale - 10 * std::log10(enbwPowerHz);
    if (!(lsbSize > 0))
        return std::nullopt;
    // |X|^2 of white noise is s^2 power / n, and the one-sided density 2 s^2 / fs.
    return reference + 10 * std::log10(2 / enbwPowerHz) + 20 * std::log10(lsbSize * 1e9);
}

double LevelScale::inUnit(double level, SpectrumUnit unit, double offsetDb)
{
    const double db = level + offsetDb;
    return unit == SpectrumUnit::NanovoltsPerRootHz ? std::pow(10.0, db / 20) : db;
}

std::vector<double> LevelScale::convert(std::span<const double> levels, SpectrumUnit unit) const
{
    const std::optional<double> offset = offsetDb(unit);
    if (!offset)
        return {};
    std::vector<double> values;
    values.reserve(levels.size());
    for (const double level : levels)
        values.push_back(inUnit(level, unit, *offset));
    return values;
}
