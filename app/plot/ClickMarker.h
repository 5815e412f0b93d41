// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class Plot;

// The graph's click marker, annotation 0: a click on a data point marks it
// with its x and y, a second click on the same point removes the mark, and
// while it is shown it follows the cursor. Any drawing of a view clears it.
class ClickMarker : public QObject
{
    Q_OBJECT

public:
    explicit ClickMarker(Plot &plot);

private:
    void Plot_DataPointClicked(int series, int point);
    void Plot_CursorMoved();
    void putMarker(int point);

    Plot &m_plot;
};
