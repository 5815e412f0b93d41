// SPDX-License-Identifier: GPL-3.0-or-later
#include "MetricOptions.h"

namespace MetricOptions {

namespace {

// The integer of the last three characters; text that is no number counts as 0.
int lastThreeDigits(const QString &text, int whenEmpty)
{
    const QString tail = text.right(3);
    return tail.isEmpty() ? whenEmpty : tail.toInt();
}

} // namespace

int numBins(const QString &text)
{
    return oddNumBins(NumBinsRange.clamp(lastThreeDigits(text, NumBinsRange.low)));
}

int autoNumBins(FftWindow window)
{
    switch (window) {
    case FftWindow::Rectangular:
        return 5;
    case FftWindow::Hamming:
    case FftWindow::Hanning:
    case FftWindow::Triangular:
        return 7;
    case FftWindow::Blackman:
        return 9;
    case FftWindow::BlackmanHarris:
    case FftWindow::Continuous5thDerivative:
        return 11;
    case FftWindow::BlackmanHarris7:
        return 17;
    }
    return 11;
}

int numHarmonics(const QString &text)
{
    return NumHarmonicsRange.clamp(lastThreeDigits(text, NumHarmonicsRange.low));
}

} // namespace MetricOptions
