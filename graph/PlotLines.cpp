// SPDX-License-Identifier: GPL-3.0-or-later
// The named lines of a Plot and its decade axes.
#include "Plot.h"

#include <qcustomplot.h>

#include <array>
#include <cmath>

namespace {

// Colours that stay apart on white and in print.
constexpr std::array<QColor, 8> LineColors{QColor(0, 70, 160),  QColor(200, 30, 30),  QColor(0, 130, 60),
                                           QColor(150, 80, 0),  QColor(120, 40, 160), QColor(0, 140, 150),
                                           QColor(90, 90, 90),  QColor(210, 120, 0)};

void setScale(QCPAxis *axis, bool logarithmic)
{
    axis->setScaleType(logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (logarithmic)
        axis->setTicker(QSharedPointer<QCPAxisTickerLog>::create());
    else
        axis->setTicker(QSharedPointer<QCPAxisTicker>::create());
}

} // namespace

void Plot::setNamedLines(const QList<NamedLine> &lines)
{
    m_namedLines = lines;
}

void Plot::setLogAxes(bool x, bool y)
{
    m_logX = x;
    m_logY = y;
}

void Plot::drawNamedLines()
{
    while (m_namedGraphs.size() > m_namedLines.size())
        m_chart->removeGraph(m_namedGraphs.takeLast());
    while (m_namedGraphs.size() < m_namedLines.size()) {
        QCPGraph *graph = m_chart->addGraph();
        graph->setSelectable(QCP::stNone);
        m_namedGraphs.append(graph);
    }
    setScale(m_chart->xAxis, m_logX);
    setScale(m_chart->yAxis, m_logY);
    for (qsizetype i = 0; i < m_namedLines.size(); ++i) {
        const NamedLine &line = m_namedLines[i];
        QCPGraph *graph = m_namedGraphs[i];
        const QColor color = LineColors[std::size_t(i) % LineColors.size()];
        QPen pen(color);
        pen.setWidthF(1.5);
        graph->setPen(pen);
        graph->setScatterStyle(QCPScatterStyle(i / qsizetype(LineColors.size()) % 2 ? QCPScatterStyle::ssSquare
                                                                                   : QCPScatterStyle::ssDisc,
                                               color, color, 6));
        graph->setName(line.name);
        graph->setData(line.x, line.y);
    }
    // The legend is the named lines' alone.
    m_chart->legend->setVisible(!m_namedLines.isEmpty());
    for (QCPGraph *graph : {m_graph, m_overlay, m_reference})
        graph->removeFromLegend();
    for (QCPGraph *graph : std::as_const(m_marks))
        graph->removeFromLegend();
}

bool Plot::fitNamedLines()
{
    if (m_namedLines.isEmpty())
        return false;
    bool any = false;
    QCPRange keys, values;
    for (QCPGraph *graph : std::as_const(m_namedGraphs)) {
        bool found = false;
        const QCPRange k = graph->getKeyRange(found, m_logX ? QCP::sdPositive : QCP::sdBoth);
        bool valuesFound = false;
        const QCPRange v = graph->getValueRange(valuesFound, m_logY ? QCP::sdPositive : QCP::sdBoth);
        if (!found || !valuesFound)
            continue;
        keys = any ? QCPRange(std::min(keys.lower, k.lower), std::max(keys.upper, k.upper)) : k;
        values = any ? QCPRange(std::min(values.lower, v.lower), std::max(values.upper, v.upper)) : v;
        any = true;
    }
    if (!any) {
        keys = m_logX ? QCPRange(1, 10) : QCPRange(0, 1);
        values = m_logY ? QCPRange(1, 10) : QCPRange(0, 1);
    }
    // A margin around the points: a factor on a decade axis, a share of the span else.
    const auto widen = [](QCPRange range, bool logarithmic) {
        if (logarithmic)
            return QCPRange(range.lower / 1.5, range.upper * 1.5);
        const double span = range.size() > 0 ? range.size() : std::max(1.0, std::abs(range.lower) * 0.1);
        return QCPRange(range.lower - 0.08 * span, range.upper + 0.08 * span);
    };
    m_chart->xAxis->setRange(widen(keys, m_logX));
    m_chart->yAxis->setRange(widen(values, m_logY));
    return true;
}
