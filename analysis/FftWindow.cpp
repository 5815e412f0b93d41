// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftWindow.h"

#include <cmath>

namespace FftWindows {

namespace {

constexpr double C1 = 6.28318530717958;
constexpr double C2 = 12.56637061435916;
constexpr double C3 = 18.84955592153874;

} // namespace

FftWindow fromIndex(int index)
{
    return index >= 0 && index < Count ? static_cast<FftWindow>(index) : FftWindow::Rectangular;
}

double value(FftWindow kind, int i, int n)
{
    const double x = i;
    const double len = n;
    switch (kind) {
    case FftWindow::Rectangular:
        break;
    case FftWindow::Hamming:
        return 0.54 - 0.46 * std::cos(n > 1 ? C1 * x / (len - 1) : 0.0);
    case FftWindow::Hanning:
        return 0.5 - 0.5 * std::cos(C1 * x / len);
    case FftWindow::Blackman:
        return 0.42 - 0.5 * std::cos(C1 * x / len) + 0.08 * std::cos(C2 * x / len);
    case FftWindow::BlackmanHarris:
        return 0.35875 - 0.48829 * std::cos(C1 * x / len) + 0.14128 * std::cos(C2 * x / len)
               - 0.01168 * std::cos(C3 * x / len);
    case FftWindow::Continuous5thDerivative:
        return 0.3125 - 0.46875 * std::cos(C1 * x / len) + 0.1875 * std::cos(C2 * x / len)
               - 0.03125 * std::cos(C3 * x / len);
    case FftWindow::Triangular:
        return x < len / 2 ? 2 * x / len : 2 - 2 * x / len;
    }
    return 1.0;
}

QString caption(FftWindow kind)
{
    static const char *const captions[Count] = {
        "Rectangular (unchanged)", "Hamming", "Hanning", "Blackman", "Blackman-Harris",
        "Continuous 5th Derivative", "Triangular"};
    return QString::fromLatin1(captions[static_cast<int>(kind)]);
}

QString title(FftWindow kind)
{
    static const char *const titles[Count] = {
        "Rectangular Window", "Hamming Window", "Hanning Window", "Blackman Window",
        "Blackman-Harris Window", "Continuous 5th Derivative Window", "Triangular Window"};
    return QString::fromLatin1(titles[static_cast<int>(kind)]);
}

} // namespace FftWindows
