// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFormat.h"
#include "FftMarks.h"
#include "FftWindow.h"
#include "MetricOptions.h"
#include "SpectrumUnit.h"

#include <cstdint>
#include <optional>

// What a plot document is analysed and shown with, as one value: the plot
// window's panels edit it, the remembered settings store it and the
// command-line tool builds it from its options. The numeric options keep the
// bounds of MetricOptions, the enumerations their own counts (FftWindows,
// SpectrumUnits, DataFormats); an option added later is one field here, with
// its bounds beside it.
struct DocumentOptions {
    enum View : std::int16_t { TimeDomain = 1, FFTPlot = 2, Histogram = 3, DataList = 4 };

    // What the FFT analysis and its marks read when they run.
    struct Fft {
        FftWindow window = FftWindow::Rectangular;
        int numBins = MetricOptions::DefaultNumBins;           // NB
        int numHarmonics = MetricOptions::DefaultNumHarmonics; // H
        FftMarks::Groups marks;
        // "Auto": the window's own NB, and the noise measured from the mean
        // of the noise bins (SpectralMetrics::Noise::NoiseBinMean).
        bool autoBins = false;
        // The Y axis of the graph, its cursors and printouts (0 ..
        // SpectrumUnits::Count - 1): a drawing option, the analysis never
        // reads it, and files and references keep their dB.
        SpectrumUnit unit = SpectrumUnit::DbFullScale;
        bool operator==(const Fft &) const = default;
    };

    Fft fft;
    // The FFT's 0 dB: the highest level found instead of full scale.
    bool normalizeFft = false;
    // Empty when no format is chosen (the data list then stays empty).
    std::optional<DataFormat> dataFormat = DataFormat::Integer;
    View view = TimeDomain;
    // The histogram's normal curve of the block's mean and sigma.
    bool normalCurve = false;

    bool operator==(const DocumentOptions &) const = default;
};
