// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <array>
#include <optional>
#include <span>

// The figures of the two cursors read off the series: X and Y at each cursor,
// their differences (to the last digit the values are shown with) and 1/ΔX,
// each with its axis unit.
struct CursorReadout {
    std::array<double, 2> x{}, y{};
    double deltaX = 0;
    double deltaY = 0;
    // None when both cursors stand at the same X.
    std::optional<double> inverseDeltaX;
    QString xUnit, yUnit, inverseXUnit;

    // Three lines: "Cursor 1: X = 120 samples, Y = 4003 codes", the same for
    // cursor 2, then "ΔX = ..., ΔY = ..., 1/ΔX = ...".
    QString text(QChar separator) const;
};

// Two measuring cursors on a graph, each standing on a point of the series.
// The one the keyboard moves is the active one. No widgets: the graph draws
// them and hands in its series to read.
class GraphCursors
{
public:
    static constexpr int Count = 2;

    bool shown() const { return m_shown; }
    int point(int cursor) const { return m_points.at(static_cast<std::size_t>(cursor)); }
    int active() const { return m_active; }

    // Shows the cursors at a third and two thirds of the points first to last.
    void show(int first, int last);
    void hide() { m_shown = false; }
    void setActive(int cursor);
    // Shows the cursors with cursor on point (kept inside the series).
    void place(int cursor, int point, int pointCount);
    // Moves the active cursor by steps points, stopping at the series' ends.
    void moveActive(int steps, int pointCount);
    // Keeps both cursors on the series after it changed length.
    void clampTo(int pointCount);

    // The readout of the shown cursors over series x and y; none while hidden
    // or without points.
    std::optional<CursorReadout> readout(std::span<const double> x, std::span<const double> y,
                                         const QString &xUnit, const QString &yUnit) const;
    // The unit of 1/ΔX for an X axis in unit: seconds give hertz and back.
    static QString inverseUnit(const QString &unit);

private:
    bool m_shown = false;
    int m_active = 0;
    std::array<int, Count> m_points{};
};
