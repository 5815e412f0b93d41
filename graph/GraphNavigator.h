// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One axis's shown span, in data units.
struct AxisSpan {
    double lower = 0;
    double upper = 1;
    double size() const { return upper - lower; }
    bool operator==(const AxisSpan &) const = default;
};

// Where the user has zoomed or panned a graph to. While zoomed, a redraw with
// new data keeps these spans instead of fitting the axes to the data, until
// the user asks for the full view again. No widgets: the graph feeds it spans.
class GraphNavigator
{
public:
    bool zoomed() const { return m_zoomed; }
    AxisSpan x() const { return m_x; }
    AxisSpan y() const { return m_y; }

    // The spans to keep from now on.
    void keep(AxisSpan x, AxisSpan y);
    // Back to fitting the axes to the data.
    void showFullView() { m_zoomed = false; }

    // span scaled by factor about centre (below 1 zooms in); centre stays put.
    static AxisSpan scaledAbout(AxisSpan span, double centre, double factor);
    // span moved by delta.
    static AxisSpan shifted(AxisSpan span, double delta) { return {span.lower + delta, span.upper + delta}; }
    // The span between a and b in either order.
    static AxisSpan between(double a, double b);

private:
    bool m_zoomed = false;
    AxisSpan m_x, m_y;
};
