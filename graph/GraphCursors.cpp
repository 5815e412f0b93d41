// SPDX-License-Identifier: GPL-3.0-or-later
#include "GraphCursors.h"

#include "NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int ShownDigits = 7; // as many as a single-precision value holds

// The place value of the last shown digit of a number of that magnitude (> 0).
double lastDigit(double magnitude)
{
    return std::pow(10.0, std::floor(std::log10(magnitude)) - (ShownDigits - 1));
}

double roundTo(double value, double step)
{
    return std::round(value / step) * step;
}

// value to ShownDigits significant digits, so single-precision noise stays unseen.
double shown(double value)
{
    return value == 0 || !std::isfinite(value) ? value : roundTo(value, lastDigit(std::abs(value)));
}

// b - a to the last digit that a and b are shown with.
double difference(double a, double b)
{
    const double larger = std::max(std::abs(a), std::abs(b));
    return larger == 0 || !std::isfinite(larger) ? b - a : roundTo(b - a, lastDigit(larger));
}

QString withUnit(double value, const QString &unit, QChar separator)
{
    const QString number = NumberFormat::general(shown(value), separator);
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

} // namespace

QString CursorReadout::text(QChar separator) const
{
    QString lines;
    for (int c = 0; c < GraphCursors::Count; ++c)
        lines += QStringLiteral("Cursor %1: X = %2, Y = %3\n")
                     .arg(c + 1)
                     .arg(withUnit(x[c], xUnit, separator), withUnit(y[c], yUnit, separator));
    lines += QStringLiteral("ΔX = %1, ΔY = %2, 1/ΔX = %3")
                 .arg(withUnit(deltaX, xUnit, separator), withUnit(deltaY, yUnit, separator),
                      inverseDeltaX ? withUnit(*inverseDeltaX, inverseXUnit, separator) : QStringLiteral("none"));
    return lines;
}

void GraphCursors::show(int first, int last)
{
    const int span = std::max(0, last - first);
    m_points = {first + span / 3, first + 2 * span / 3};
    m_shown = true;
}

void GraphCursors::setActive(int cursor)
{
    if (cursor >= 0 && cursor < Count)
        m_active = cursor;
}

void GraphCursors::place(int cursor, int point, int pointCount)
{
    if (cursor < 0 || cursor >= Count)
        return;
    if (!m_shown)
        show(0, pointCount - 1);
    m_points[static_cast<std::size_t>(cursor)] = std::clamp(point, 0, std::max(0, pointCount - 1));
}

void GraphCursors::moveActive(int steps, int pointCount)
{
    place(m_active, point(m_active) + steps, pointCount);
}

void GraphCursors::clampTo(int pointCount)
{
    for (int &p : m_points)
        p = std::clamp(p, 0, std::max(0, pointCount - 1));
}

std::optional<CursorReadout> GraphCursors::readout(std::span<const double> x, std::span<const double> y,
                                                   const QString &xUnit, const QString &yUnit) const
{
    const auto count = static_cast<int>(std::min(x.size(), y.size()));
    if (!m_shown || count == 0)
        return std::nullopt;
    CursorReadout r;
    for (int c = 0; c < Count; ++c) {
        const auto p = static_cast<std::size_t>(std::clamp(point(c), 0, count - 1));
        r.x[static_cast<std::size_t>(c)] = x[p];
        r.y[static_cast<std::size_t>(c)] = y[p];
    }
    r.deltaX = difference(r.x[0], r.x[1]);
    r.deltaY = difference(r.y[0], r.y[1]);
    if (r.deltaX != 0)
        r.inverseDeltaX = 1 / r.deltaX;
    r.xUnit = xUnit;
    r.yUnit = yUnit;
    r.inverseXUnit = inverseUnit(xUnit);
    return r;
}

QString GraphCursors::inverseUnit(const QString &unit)
{
    if (unit == QLatin1String("s"))
        return QStringLiteral("Hz");
    if (unit == QLatin1String("Hz"))
        return QStringLiteral("s");
    if (unit == QLatin1String("samples"))
        return QStringLiteral("1/sample");
    return unit.isEmpty() ? QString() : QStringLiteral("1/") + unit;
}
