// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FftWindow.h"
#include "SpectralMetrics.h"
#include "TimeStatistics.h"

#include <QChar>
#include <QString>

// The texts the plot window hands its graph: axis labels and subtitles of the
// views, and the figures a printout adds to the subtitle. Shared by the window
// and the command-line tool, so a picture reads the same from both.
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

// "Min:-5     Max:7     Mean:0.5     StdDev:12.3457": minimum and maximum in
// general number format, mean and standard deviation with "0.####".
QString timeFigures(const TimeStatistics &stats, QChar separator);

// A metric as screen and printouts show it: "0.####", or "-" for a metric
// left uncomputed and for any metric of a spectrum of noise only, which would
// pass for a tone's.
QString metric(double value, bool noiseOnly, QChar separator);

// ",     SNR:..     SINAD:..     THD:..     SFDR:.." each as metric() gives
// it, appended to the FFT subtitle of a printout.
QString fftFigures(const SpectralMetrics &metrics, bool noiseOnly, QChar separator);

} // namespace GraphTexts
