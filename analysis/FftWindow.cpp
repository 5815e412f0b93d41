// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftWindow.h"

#include <array>
#include <cmath>
#include <numbers>

namespace FftWindows {

namespace {

constexpr double C1 = 6.28318530717958;
constexpr double C2 = 12.56637061435916;
constexpr double C3 = 18.84955592153874;

// Seven-term Blackman-Harris: first null at +/-7 bins, highest sidelobe about
// -180 dB.
constexpr std::array<double, 7> SevenTerm{0.27105140069342, 0.43329793923448, 0.21812299954311,
                                          0.06592544638803, 0.01081174209837, 0.00077658482522,
                                          0.00001388721735};

double sevenTerm(double x, double len)
{
    double sum = 0;
    for (std::size_t j = 0; j < SevenTerm.size(); ++j) {
        const double term = SevenTerm[j] * std::cos(2 * std::numbers::pi * static_cast<double>(j) * x / len);
        sum += j % 2 == 0 ? term : -term;
    }
    return sum;
}

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
    case FftWindow::BlackmanHarris7:
        return sevenTerm(x, len);
    }
    return 1.0;
}

QString caption(FftWindow kind)
{
    static const char *const captions[Count] = {
        "Rectangular (unchanged)", "Hamming", "Hanning", "Blackman", "Blackman-Harris",
        "Continuous 5th Derivative", "Triangular", "Blackman-Harris 7-term"};
    return QString::fromLatin1(captions[static_cast<int>(kind)]);
}

QString title(FftWindow kind)
{
    static const char *const titles[Count] = {
        "Rectangular Window", "Hamming Window", "Hanning Window", "Blackman Window",
        "Blackman-Harris Window", "Continuous 5th Derivative Window", "Triangular Window",
        "Blackman-Harris 7-term Window"};
    return QString::fromLatin1(titles[static_cast<int>(kind)]);
}

} // namespace FftWindows
