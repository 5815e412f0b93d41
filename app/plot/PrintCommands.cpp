// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrintCommands.h"

#include "FileDialogs.h"
#include "GraphOutput.h"
#include "Plot.h"
#include "PlotDocument.h"
#include "SharedPrinter.h"
#include "UserMessage.h"
#include "ViewGraph.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPrinter>

namespace {

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

PrintCommands::PrintCommands(const PlotDocument &document, Plot &plot, QWidget *window)
    : QObject(window), m_document(document), m_plot(plot), m_window(window)
{
}

void PrintCommands::print()
{
    const PrintFigures figures(m_document, m_plot);
    QPrinter &printer = SharedPrinter::printer();
    const bool toPdf = printer.outputFormat() == QPrinter::PdfFormat;
    QString error;
    if (!toPdf && GraphOutput::canPrint(printer)) {
        if (!GraphOutput::print(m_plot, printer, printHeader(m_document.block()), &error))
            UserMessage::show(m_window, error);
        else
            emit commandDone(QStringLiteral("The graph was sent to %1").arg(printer.printerName()));
        return;
    }
    if (!toPdf && !UserMessage::confirm(m_window, QStringLiteral("No printer is installed. Print the graph to a PDF file instead?")))
        return;
    // The user names the file every time, and is asked before one is replaced.
    const QString path = FileDialogs::getPdfFileName(m_window, QStringLiteral("Print to PDF File"));
    if (path.isEmpty())
        return;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    pdf.setPageLayout(printer.pageLayout());
    if (!GraphOutput::print(m_plot, pdf, printHeader(m_document.block()), &error)) {
        UserMessage::show(m_window, error);
        return;
    }
    emit commandDone(QStringLiteral("The graph was printed to %1").arg(QDir::toNativeSeparators(path)));
}

void PrintCommands::exportGraph()
{
    const QString path = FileDialogs::getGraphFileName(m_window, QStringLiteral("Export Graph"));
    if (path.isEmpty())
        return;
    // The graph as large as it is on screen, and never smaller than a page figure.
    const QSize size = m_plot.size().expandedTo(QSize(1200, 800));
    QString error;
    if (!exportTo(path, size, &error))
        UserMessage::show(m_window, QStringLiteral("Export Graph: ") + error);
    else
        emit commandDone(QStringLiteral("The graph was exported to %1").arg(QDir::toNativeSeparators(path)));
}

bool PrintCommands::exportTo(const QString &path, const QSize &size, QString *error)
{
    const PrintFigures figures(m_document, m_plot);
    return GraphOutput::exportTo(m_plot, path, size, error);
}
