// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

// The one-sided density of a spectrum's noise bins, read as white noise: noise
// of variance s^2 codes^2 at rate fs reads 2 s^2 / fs codes^2/Hz.
struct NoiseDensity {
    std::optional<double> dbfsPerHz;  // against a full-scale sine's power, 2^(2B-2) / 2 codes^2
    std::optional<double> nvPerRtHz;  // with the block's volts per code

    // noiseBinPower is the mean |X|^2 of the noise bins of an n-point spectrum
    // scaled by 1/n whose window has the power gain sum(w^2) / n.
    static NoiseDensity compute(double noiseBinPower, int n, double windowPowerGain, double sampleFreq,
                                int numBits, double lsbSize);
};
