// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftWindow.h"

#include <QChar>
#include <QString>

// The texts the plot window hands its graph: axis labels and subtitles of the
// views. Shared by the window and the command-line tool, so a picture reads
// the same from both.
namespace GraphTexts {

inline constexpr auto TimeXLabel = "Sample Number";
inline constexpr auto TimeYLabel = "ADC Code";
inline constexpr auto FftYLabel = "Magnitude (dB)";
inline constexpr auto HistogramYLabel = "Count";

// "Frequency (Hz), Resolution: " and sampleFreq / fftLength with the pattern
// "0.##" and " Hz".
QString fftXLabel(double sampleFreq, int fftLength, QChar separator);

// "Hanning Window for 4096 Points".
QString fftSubtitle(FftWindow window, int fftLength);

} // namespace GraphTexts
