// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSize>

class Plot;
class PlotDocument;
class QWidget;

// The plot window's Print and Export Graph commands: the graph as the view
// shows it, with the view's figures in its subtitle, on the printer chosen in
// Page Setup (a PDF file when there is none) or in a picture file.
class PrintCommands : public QObject
{
    Q_OBJECT

public:
    // window is the parent of the dialogs and messages.
    PrintCommands(const PlotDocument &document, Plot &plot, QWidget *window);

    void print();
    // Asks for a file and writes the graph as PNG, SVG or PDF by its extension.
    void exportGraph();
    // The same to path, laid out for size pixels; false with a message.
    bool exportTo(const QString &path, const QSize &size, QString *error);

signals:
    // What was printed or written where, for the status bar.
    void commandDone(const QString &text);

private:
    const PlotDocument &m_document;
    Plot &m_plot;
    QWidget *m_window;
};
