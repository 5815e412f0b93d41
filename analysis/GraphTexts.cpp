// SPDX-License-Identifier: GPL-3.0-or-later
#include "GraphTexts.h"

#include "NumberFormat.h"

namespace GraphTexts {

QString fftXLabel(double sampleFreq, int fftLength, QChar separator)
{
    const double resolution = fftLength > 0 ? sampleFreq / fftLength : 0.0;
    return QStringLiteral("Frequency (Hz), Resolution: ") + NumberFormat::pattern(resolution, 0, 2, separator) +
           QStringLiteral(" Hz");
}

QString fftSubtitle(FftWindow window, int fftLength)
{
    return FftWindows::title(window) + QStringLiteral(" for ") + QString::number(fftLength) + QStringLiteral(" Points");
}

} // namespace GraphTexts
