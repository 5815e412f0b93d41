// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QAction;
class QActionGroup;
class frmPlot;

// The graph tools as commands a user can find: Zoom In, Zoom Out, Zoom Box,
// Pan, Reset Zoom, Cursors and Copy, for the Tools menu, the toolbar and the
// graph's context menu. Each acts on the active plot window's graph; the
// menu texts show the graph's own keys, which keep working as before.
class GraphToolActions : public QObject
{
    Q_OBJECT

public:
    GraphToolActions(std::function<frmPlot *()> activePlot, QObject *parent);

    // Every entry in menu order; nullptr stands for a separator.
    QList<QAction *> entries() const { return m_entries; }
    // The same without separators, for the toolbar and the context menu.
    QList<QAction *> commands() const;
    // Gives plot's graph these commands in its context menu and its drag tool.
    void attach(frmPlot &plot);
    // Enables the commands while there is a graph to act on.
    void setEnabled(bool enabled);

private:
    QAction *add(const char *name, const QString &text, const QString &key, const QString &icon,
                 std::function<void(frmPlot &)> command);

    std::function<frmPlot *()> m_activePlot;
    QList<QAction *> m_entries;
    QActionGroup *m_dragTools;
    QAction *m_zoomBox = nullptr;
    QAction *m_pan = nullptr;
};
