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
    // The time choice belongs to the time-domain view only.
    void setTimeChoiceShown(bool shown);

signals:
    void timeAxisChanged();

private:
    void showReadout();

    Plot *m_plot;
    QLabel *m_readout;
    QCheckBox *m_timeInSeconds;
};
