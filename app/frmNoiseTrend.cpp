// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmNoiseTrend.h"

#include "FileDialogs.h"
#include "NoiseTrend.h"
#include "Plot.h"
#include "UserMessage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

namespace {

struct Series {
    const char *title;
    std::optional<double> NoiseTrend::Row::*figure;
};

constexpr std::array<Series, 3> SeriesOf{{{"Offset (µV)", &NoiseTrend::Row::offsetUv},
                                          {"RMS Noise (µV)", &NoiseTrend::Row::rmsNoiseUv},
                                          {"P-P Noise (µV)", &NoiseTrend::Row::ppNoiseUv}}};

} // namespace

frmNoiseTrend::frmNoiseTrend(NoiseTrend &trend, QWidget *parent)
    : QWidget(parent, Qt::Window), m_trend(trend), m_btnLog(new QPushButton), m_btnClear(new QPushButton(QStringLiteral("Clear"))),
      m_lblLog(new QLabel)
{
    setWindowTitle(QStringLiteral("Noise Trend"));
    auto *layout = new QVBoxLayout(this);
    for (std::size_t i = 0; i < m_graphs.size(); ++i) {
        m_graphs[i] = new Plot;
        m_graphs[i]->setMinimumHeight(140);
        layout->addWidget(m_graphs[i], 1);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_btnLog);
    buttons->addWidget(m_btnClear);
    buttons->addWidget(m_lblLog, 1);
    layout->addLayout(buttons);
    connect(m_btnLog, &QPushButton::clicked, this, &frmNoiseTrend::btnLog_Click);
    connect(m_btnClear, &QPushButton::clicked, this, &frmNoiseTrend::btnClear_Click);
    resize(720, 640);
    showLogState();
    refresh();
}

void frmNoiseTrend::refresh()
{
    const auto &rows = m_trend.rows();
    for (std::size_t s = 0; s < SeriesOf.size(); ++s) {
        std::vector<float> x, y;
        x.reserve(rows.size());
        y.reserve(rows.size());
        for (const NoiseTrend::Row &row : rows) {
            if (const std::optional<double> value = row.*SeriesOf[s].figure) {
                x.push_back(static_cast<float>(m_trend.secondsOf(row)));
                y.push_back(static_cast<float>(*value));
            }
        }
        Plot &graph = *m_graphs[s];
        // One time axis label under the three graphs.
        graph.setXAxisLabel(s + 1 == SeriesOf.size() ? QStringLiteral("Block Time (s)") : QString());
        graph.setYAxisLabel(QString::fromUtf8(SeriesOf[s].title));
        graph.setPlottingMethod(Plot::PointsAndLine);
        graph.setSeriesData(x, y, static_cast<int>(x.size()));
        graph.redraw();
    }
}

void frmNoiseTrend::btnLog_Click()
{
    if (m_trend.logging()) {
        m_trend.stopLog();
        showLogState();
        return;
    }
    const QString path = FileDialogs::getSaveFileName(this, QStringLiteral("Log Noise Trend"));
    if (!path.isEmpty())
        startLog(path);
}

bool frmNoiseTrend::startLog(const QString &path)
{
    QString error;
    const bool started = m_trend.startLog(path, &error);
    if (!started)
        UserMessage::show(this, error);
    showLogState();
    return started;
}

void frmNoiseTrend::showLogProblem(const QString &problem)
{
    showLogState();
    m_lblLog->setText(problem);
}

void frmNoiseTrend::btnClear_Click()
{
    m_trend.clear();
    refresh();
}

void frmNoiseTrend::showLogState()
{
    m_btnLog->setText(m_trend.logging() ? QStringLiteral("Stop Logging") : QStringLiteral("Log to File..."));
    m_lblLog->setText(m_trend.logging() ? QStringLiteral("Logging to %1").arg(m_trend.logPath())
                                        : QStringLiteral("Not logging"));
}

QString frmNoiseTrend::logStatus() const
{
    return m_lblLog->text();
}
