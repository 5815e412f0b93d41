// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's graph beyond drawing a view: the click marker, printing and
// exported pictures.
#include "frmPlot.h"

#include "FileDialogs.h"
#include "GraphOutput.h"
#include "NumberFormat.h"
#include "Plot.h"
#include "SharedPrinter.h"
#include "UserMessage.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPrinter>

namespace {

constexpr std::uint32_t MarkerColor = 0x008000; // green (red in the low byte)

QString markerText(const Plot &plot, int point)
{
    const QChar sep = NumberFormat::screenSeparator();
    return NumberFormat::generalSingle(plot.xValue(point), sep) + QLatin1Char(',') +
           NumberFormat::generalSingle(plot.yValue(point), sep);
}

// What a printout says of its block, one line each.
QStringList printHeader(const SampleBlock &block)
{
    const QLocale locale;
    return {QStringLiteral("Printed %1").arg(locale.toString(QDateTime::currentDateTime(), QLocale::LongFormat)),
            QStringLiteral("Device: %1").arg(block.deviceId),
            QStringLiteral("File: %1").arg(block.source.file.isEmpty() ? QStringLiteral("none (acquired from the board)")
                                                                       : QFileInfo(block.source.file).fileName()),
            QStringLiteral("Samples: %1").arg(locale.toString(block.numPoints())),
            QStringLiteral("Sample rate: %1 Hz").arg(locale.toString(block.sampleFreq, 'g', 10))};
}

// The figures a printout or an exported picture carries stand in the graph's
// subtitle while it is drawn; the screen gets its own subtitle back after.
class PrintFigures
{
public:
    PrintFigures(const PlotDocument &document, Plot &plot)
        : m_plot(plot), m_subtitle(plot.subTitle())
    {
        ViewGraph::addPrintFigures(document, plot);
    }
    ~PrintFigures()
    {
        m_plot.setSubTitle(m_subtitle);
        m_plot.redraw();
    }
    PrintFigures(const PrintFigures &) = delete;
    PrintFigures &operator=(const PrintFigures &) = delete;

private:
    Plot &m_plot;
    QString m_subtitle;
};

} // namespace

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

void frmPlot::PrintGraph()
{
    const PrintFigures figures(m_document, *m_plot);
    QPrinter &printer = SharedPrinter::printer();
    const bool toPdf = printer.outputFormat() == QPrinter::PdfFormat;
    QString error;
    if (!toPdf && GraphOutput::canPrint(printer)) {
        if (!GraphOutput::print(*m_plot, printer, printHeader(m_document.block()), &error))
            UserMessage::show(this, error);
        else
            emit commandDone(QStringLiteral("The graph was sent to %1").arg(printer.printerName()));
        return;
    }
    if (!toPdf && !UserMessage::confirm(this, QStringLiteral("No printer is installed. Print the graph to a PDF file instead?")))
        return;
    // The user names the file every time, and is asked before one is replaced.
    const QString path = FileDialogs::getPdfFileName(this, QStringLiteral("Print to PDF File"));
    if (path.isEmpty())
        return;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    pdf.setPageLayout(printer.pageLayout());
    if (!GraphOutput::print(*m_plot, pdf, printHeader(m_document.block()), &error)) {
        UserMessage::show(this, error);
        return;
    }
    emit commandDone(QStringLiteral("The graph was printed to %1").arg(QDir::toNativeSeparators(path)));
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
    else
        emit commandDone(QStringLiteral("The graph was exported to %1").arg(QDir::toNativeSeparators(path)));
}

bool frmPlot::exportGraph(const QString &path, const QSize &size, QString *error)
{
    const PrintFigures figures(m_document, *m_plot);
    return GraphOutput::exportTo(*m_plot, path, size, error);
}
