// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SineFit.h"

#include <cstdint>
#include <optional>
#include <span>

class Spectrum;

// The figures of a four-parameter sine fit over all samples of a block, the
// window of the FFT aside: the fit starts at the FFT's peak, interpolated
// between its neighbours. Every figure is empty when the fit does not converge.
struct SineFitFigures {
    std::optional<double> frequencyHz;
    std::optional<double> amplitudeDbfs;   // 0 dBFS: a sine from -2^(B-1) to 2^(B-1) codes
    std::optional<double> sinadDb;         // fitted sine power over residual power
    std::optional<double> enob;            // (SINAD - 1.76) / 6.02
    std::optional<double> residualRmsUv;   // residual after the sine and offset, in microvolts
    // The fit behind the figures, for what else is judged by it (leakage).
    std::optional<SineFit> fit;

    // spectrum is the FFT of the block's first samples and peakBin its tone's bin.
    static SineFitFigures compute(std::span<const std::int32_t> samples, const Spectrum &spectrum,
                                  std::int32_t peakBin, double sampleFreq, int numBits, double lsbSize);
};
