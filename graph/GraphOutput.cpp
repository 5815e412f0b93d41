// SPDX-License-Identifier: GPL-3.0-or-later
#include "GraphOutput.h"

#include "Plot.h"
#include "RegularFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSvgGenerator>

namespace GraphOutput {

namespace {

constexpr int ScreenDpi = 96;

QString suffixOf(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

QPageSize pageOfPixels(const QSize &size)
{
    return QPageSize(QSizeF(size.width() * 72.0 / ScreenDpi, size.height() * 72.0 / ScreenDpi), QPageSize::Point,
                     QString(), QPageSize::ExactMatch);
}

bool writeInto(Plot &plot, QIODevice &file, const QString &suffix, const QSize &size)
{
    const QRect target(QPoint(0, 0), size);
    if (suffix == QLatin1String("png")) {
        QImageWriter writer(&file, "png");
        return writer.write(plot.renderImage(size));
    }
    if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(target);
        svg.setResolution(ScreenDpi);
        svg.setTitle(QStringLiteral("Graph"));
        return plot.renderTo(svg, target);
    }
    QPdfWriter pdf(&file);
    pdf.setResolution(ScreenDpi);
    pdf.setPageSize(pageOfPixels(size));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    return plot.renderTo(pdf, target);
}

} // namespace

bool canPrint(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return !printer.outputFileName().isEmpty();
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool paintPage(Plot &plot, QPaintDevice &device, const QRect &page, const QStringList &header)
{
    QFont font;
    font.setPointSizeF(10);
    const QString headerText = header.join(QLatin1Char('\n'));
    const QFontMetrics metrics(font, &device);
    const QRect headerRect = metrics.boundingRect(page, Qt::AlignLeft | Qt::AlignTop, headerText);
    const int graphTop = header.isEmpty() ? page.top() : headerRect.bottom() + metrics.height();
    const QRect graphArea(page.left(), graphTop, page.width(), page.bottom() - graphTop);
    // The header and the graph share one painter: ending it ends a print job.
    return !graphArea.isEmpty() && plot.renderTo(device, graphArea, [&](QPainter &painter) {
        painter.setFont(QFont(font, &device));
        painter.drawText(page, Qt::AlignLeft | Qt::AlignTop, headerText);
    });
}

bool print(Plot &plot, QPrinter &printer, const QStringList &header, QString *error)
{
    const QRect page(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    if (page.isEmpty()) {
        *error = QStringLiteral("The printer's page has no printable area.");
        return false;
    }
    if (!paintPage(plot, printer, page, header) || printer.printerState() == QPrinter::Error) {
        *error = QStringLiteral("The printer could not print the graph.");
        return false;
    }
    return true;
}

bool isExportPath(const QString &path)
{
    const QString suffix = suffixOf(path);
    return suffix == QLatin1String("png") || suffix == QLatin1String("svg") || suffix == QLatin1String("pdf");
}

bool exportTo(Plot &plot, const QString &path, const QSize &size, QString *error)
{
    if (!isExportPath(path)) {
        *error = QStringLiteral("\"%1\": the file name must end in .png, .svg or .pdf").arg(QFileInfo(path).fileName());
        return false;
    }
    if (size.width() < 1 || size.height() < 1) {
        *error = QStringLiteral("the picture size must be at least 1x1 pixels");
        return false;
    }
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    if (!writeInto(plot, picture, suffixOf(path), size)) {
        *error = QStringLiteral("cannot draw \"%1\"").arg(path);
        return false;
    }
    // Drawn first, then written like a data file: never onto a FIFO or device.
    if (const std::optional<QString> problem = RegularFile::replace(path, picture.data())) {
        *error = QStringLiteral("cannot write \"%1\": %2").arg(path, *problem);
        return false;
    }
    return true;
}

} // namespace GraphOutput
