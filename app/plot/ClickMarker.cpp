// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClickMarker.h"

#include "NumberFormat.h"
#include "Plot.h"

namespace {

constexpr std::uint32_t MarkerColor = 0x008000; // green (red in the low byte)

QString markerText(const Plot &plot, int point)
{
    const QChar sep = NumberFormat::screenSeparator();
    return NumberFormat::generalSingle(plot.xValue(point), sep) + QLatin1Char(',') +
           NumberFormat::generalSingle(plot.yValue(point), sep);
}

} // namespace

ClickMarker::ClickMarker(Plot &plot)
    : QObject(&plot), m_plot(plot)
{
    connect(&plot, &Plot::dataPointClicked, this, &ClickMarker::Plot_DataPointClicked);
    connect(&plot, &Plot::cursorMoved, this, &ClickMarker::Plot_CursorMoved);
    connect(&plot, &Plot::mouseInput, this, [this] { m_plot.setCursorMode(2); });
}

void ClickMarker::Plot_DataPointClicked(int series, int point)
{
    Q_UNUSED(series)
    if (m_plot.annotation(0).text == markerText(m_plot, point)) {
        m_plot.setAnnotationText(0, QString());
        m_plot.setAnnotationSymbol(0, Plot::SymbolNone);
    } else {
        putMarker(point);
    }
    m_plot.redraw();
}

void ClickMarker::Plot_CursorMoved()
{
    if (!m_plot.annotation(0).text.isEmpty())
        putMarker(m_plot.cursorPoint());
    m_plot.redraw();
}

void ClickMarker::putMarker(int point)
{
    if (point < 0 || point >= m_plot.pointCount())
        return;
    m_plot.setAnnotation(0, {m_plot.xValue(point), m_plot.yValue(point), MarkerColor, Plot::SymbolMark,
                             markerText(m_plot, point)});
}
