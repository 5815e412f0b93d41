// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class Plot;
class QPaintDevice;
class QPrinter;

// Puts the graph on paper or into a file. Printouts and exported pictures go
// through the same rendering (Plot::renderTo).
namespace GraphOutput {

// True when printer can print: it writes a PDF file, or a printer is installed.
bool canPrint(const QPrinter &printer);

// Prints the header lines at the top of printer's page and the graph filling
// the rest of it, in the page's orientation. False with a message when the
// printer cannot be started.
bool print(Plot &plot, QPrinter &printer, const QStringList &header, QString *error);
// What print() puts on the page: the header lines at the top of page and the
// graph filling the rest, on device at its resolution. False when no painter
// could be started on device.
bool paintPage(Plot &plot, QPaintDevice &device, const QRect &page, const QStringList &header);

// Writes the graph to path as PNG, SVG or PDF by the file's extension (case
// insensitive), laid out for size pixels at 96 dpi. Nothing is left behind on
// failure; false with a one-line message.
bool exportTo(Plot &plot, const QString &path, const QSize &size, QString *error);

// True for the extensions exportTo understands.
bool isExportPath(const QString &path);

} // namespace GraphOutput
