// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>

class NoiseTrend;
class Plot;
class QLabel;
class QPushButton;

// The noise trend of a continuous acquisition: offset, RMS and peak-to-peak
// noise of the last blocks over their time, and the CSV log of the rows.
class frmNoiseTrend : public QWidget
{
    Q_OBJECT

public:
    explicit frmNoiseTrend(NoiseTrend &trend, QWidget *parent = nullptr);

    // Draws the trend's rows as they are now.
    void refresh();
    // Starts logging to path (the log button asks for one); false with a message shown.
    bool startLog(const QString &path);
    // A log that could not be written was closed: says so.
    void showLogProblem(const QString &problem);

    Plot *graph(int index) const { return m_graphs[static_cast<std::size_t>(index)]; }
    QPushButton *btnLog() const { return m_btnLog; }
    QString logStatus() const;

private:
    void btnLog_Click();
    void btnClear_Click();
    void showLogState();

    NoiseTrend &m_trend;
    std::array<Plot *, 3> m_graphs{};
    QPushButton *m_btnLog;
    QPushButton *m_btnClear;
    QLabel *m_lblLog;
};
