// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class Plot;
class QCheckBox;
class QLabel;

// The row under the plot window's graph: the readout of the graph's two
// cursors (while they are shown) and the choice of seconds on the time axis.
class GraphToolsBar : public QWidget
{
    Q_OBJECT

public:
    explicit GraphToolsBar(Plot *plot, QWidget *parent = nullptr);

    bool timeInSeconds() const;
    QCheckBox *cbTimeInSeconds() const { return m_timeInSeconds; }
    // The readout as shown; empty while the cursors are hidden.
    QString readoutText() const;
    // What the current view offers: a graph, and the time choice (the time
    // domain only). The row hides whenever it has nothing to show.
    void showFor(bool graphShown, bool timeChoiceShown);

signals:
    void timeAxisChanged();

private:
    void showReadout();
    void hideWhenEmpty();

    Plot *m_plot;
    QLabel *m_readout;
    QCheckBox *m_timeInSeconds;
    bool m_graphShown = true;
};
