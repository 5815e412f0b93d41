// SPDX-License-Identifier: GPL-3.0-or-later
// What the plot window hands its graph: the settings of every view, the click
// marker, printing and exported pictures.
#include "frmPlot.h"

#include "AppState.h"
#include "FftOptionsPanel.h"
#include "FileDialogs.h"
#include "GraphOutput.h"
#include "GraphTexts.h"
#include "NumberFormat.h"
#include "Plot.h"
#include "SharedPrinter.h"
#include "UserMessage.h"

#include <QPrinter>
#include <algorithm>

namespace {

constexpr std::uint32_t MarkerColor = 0x008000; // green (red in the low byte)
constexpr auto FftFiguresStart = ",     SNR:";

QString markerText(const Plot &plot, int point)
{
    const QChar sep = NumberFormat::screenSeparator();
    return NumberFormat::generalSingle(plot.xValue(point), sep) + QLatin1Char(',') +
           NumberFormat::generalSingle(plot.yValue(point), sep);
}

} // namespace

void frmPlot::feedGraph()
{
    m_plot->setMainTitle(m_deviceId == QLatin1String(UnspecifiedDevice) ? QString() : m_deviceId);
    m_plot->setSubTitle(QString());
    m_plot->setManualXRange(false);
    m_plot->setAnnotationText(0, QString());
    m_plot->setAnnotationSymbol(0, Plot::SymbolNone);
    if (AppState::DataReady() && m_view != DataList) {
        if (const ViewStyle *style = styleOf(m_view)) {
            m_plot->setPlottingMethod(style->method);
            m_plot->setPointType(style->pointType);
            m_plot->setLineType(style->lineType);
        }
        if (m_view == TimeDomain)
            feedTimeDomain();
        else if (m_view == FFTPlot)
            feedFft();
        else if (m_view == Histogram)
            feedHistogram();
    }
    m_plot->redraw();
}

void frmPlot::feedTimeDomain()
{
    const auto count = blockSamples().size();
    std::vector<float> x(count), y(count);
    const int format = selectedDataFormat();
    for (std::size_t i = 0; i < count; ++i) {
        x[i] = static_cast<float>(i + 1);
        const double code = m_samples[i];
        // Every point in the same unit: the whole trace follows the data format.
        if (format == static_cast<int>(DataFormat::PercentOfFullScale))
            y[i] = static_cast<float>(CodeText::percentValue(code, m_numBits));
        else if (format == static_cast<int>(DataFormat::ScaledByLsb))
            y[i] = static_cast<float>(code * m_lsbSize);
        else
            y[i] = static_cast<float>(code);
    }
    m_plot->setXAxisLabel(QLatin1String(GraphTexts::TimeXLabel));
    m_plot->setYAxisLabel(QLatin1String(GraphTexts::TimeYLabel));
    m_plot->setSeriesData(x, y, static_cast<int>(count));
}

void frmPlot::feedFft()
{
    const int n = m_spectrum.length();
    const auto count = static_cast<std::size_t>(n / 2);
    const std::span<const double> levels = m_spectrum.levels();
    std::vector<float> x(count), y(count);
    for (std::size_t i = 0; i < count; ++i) {
        x[i] = static_cast<float>(static_cast<double>(i) * m_sampleFreq / n);
        y[i] = static_cast<float>(levels[i]);
    }
    m_plot->setXAxisLabel(GraphTexts::fftXLabel(m_sampleFreq, n, NumberFormat::screenSeparator()));
    m_plot->setYAxisLabel(QLatin1String(GraphTexts::FftYLabel));
    m_plot->setSubTitle(GraphTexts::fftSubtitle(m_fftOptions->selectedWindow(), n));
    m_plot->setSeriesData(x, y, static_cast<int>(count));
}

void frmPlot::feedHistogram()
{
    // The entry beyond the last bin is drawn too when the maximum falls there.
    const auto count = static_cast<std::size_t>(std::max(::Histogram::BinCount, m_histogram.binsInUse()));
    const std::span<const double> counts = m_histogram.counts();
    std::vector<float> x(count), y(count);
    for (std::size_t i = 0; i < count; ++i) {
        x[i] = static_cast<float>(m_histogram.binCentre(static_cast<int>(i)));
        y[i] = static_cast<float>(counts[i]);
    }
    m_plot->setXAxisLabel(m_histogram.axisLabel(NumberFormat::screenSeparator()));
    m_plot->setYAxisLabel(QLatin1String(GraphTexts::HistogramYLabel));
    m_plot->setSeriesData(x, y, static_cast<int>(count));
    // One bin wider than the codes, so that the bin holding the maximum is drawn.
    m_plot->setManualXRange(true, m_stats.minimum, m_stats.maximum + m_histogram.binWidth());
    m_plot->setBinWidth(m_histogram.binWidth() * 1.05);
}

void frmPlot::Plot_DataPointClicked(int series, int point)
{
    Q_UNUSED(series)
    if (m_plot->annotation(0).text == markerText(*m_plot, point)) {
        m_plot->setAnnotationText(0, QString());
        m_plot->setAnnotationSymbol(0, Plot::SymbolNone);
    } else {
        putMarker(point);
    }
    m_plot->redraw();
}

void frmPlot::Plot_CursorMoved()
{
    if (!m_plot->annotation(0).text.isEmpty())
        putMarker(m_plot->cursorPoint());
    m_plot->redraw();
}

void frmPlot::putMarker(int point)
{
    if (point < 0 || point >= m_plot->pointCount())
        return;
    m_plot->setAnnotation(0, {m_plot->xValue(point), m_plot->yValue(point), MarkerColor, Plot::SymbolMark,
                              markerText(*m_plot, point)});
}

void frmPlot::setPrintFigures()
{
    const QChar sep = NumberFormat::screenSeparator();
    if (m_view == TimeDomain) {
        m_plot->setSubTitle(GraphTexts::timeFigures(m_stats, sep));
    } else if (m_view == FFTPlot) {
        // Printing twice shows the figures once.
        const QString subtitle = m_plot->subTitle();
        const qsizetype earlier = subtitle.indexOf(QLatin1String(FftFiguresStart));
        m_plot->setSubTitle((earlier < 0 ? subtitle : subtitle.left(earlier)) + GraphTexts::fftFigures(m_metrics, sep));
    }
    m_plot->redraw();
}

void frmPlot::PrintGraph()
{
    setPrintFigures();
    QPrinter &printer = SharedPrinter::printer();
    QString error;
    if (GraphOutput::canPrint(printer)) {
        if (!GraphOutput::print(*m_plot, printer, &error))
            UserMessage::show(this, error);
        return;
    }
    if (!UserMessage::confirm(this, QStringLiteral("No printer is installed. Print the graph to a PDF file instead?")))
        return;
    const QString path = FileDialogs::getPdfFileName(this, QStringLiteral("Print to PDF File"));
    if (path.isEmpty())
        return;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    pdf.setPageLayout(printer.pageLayout());
    if (!GraphOutput::print(*m_plot, pdf, &error))
        UserMessage::show(this, error);
}

void frmPlot::ExportGraph()
{
    const QString path = FileDialogs::getGraphFileName(this, QStringLiteral("Export Graph"));
    if (path.isEmpty())
        return;
    // The graph as large as it is on screen, and never smaller than a page figure.
    const QSize size = m_plot->size().expandedTo(QSize(1200, 800));
    QString error;
    if (!exportGraph(path, size, &error))
        UserMessage::show(this, QStringLiteral("Export Graph: ") + error);
}

bool frmPlot::exportGraph(const QString &path, const QSize &size, QString *error)
{
    setPrintFigures();
    return GraphOutput::exportTo(*m_plot, path, size, error);
}
