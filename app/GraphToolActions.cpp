// SPDX-License-Identifier: GPL-3.0-or-later
#include "GraphToolActions.h"

#include "Plot.h"
#include "frmPlot.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>

GraphToolActions::GraphToolActions(std::function<frmPlot *()> activePlot, QObject *parent)
    : QObject(parent), m_activePlot(std::move(activePlot)), m_dragTools(new QActionGroup(this))
{
    add("mnuToolsZoomIn", QStringLiteral("Zoom &In"), QStringLiteral("+"), QStringLiteral("zoom-in"),
        [](frmPlot &plot) { plot.plot()->zoomStep(true); });
    add("mnuToolsZoomOut", QStringLiteral("Zoom &Out"), QStringLiteral("-"), QStringLiteral("zoom-out"),
        [](frmPlot &plot) { plot.plot()->zoomStep(false); });
    m_zoomBox = add("mnuToolsZoomBox", QStringLiteral("Zoom &Box"), QStringLiteral("drag"), QStringLiteral("zoom-select"),
                    [](frmPlot &plot) { plot.plot()->setDragTool(Plot::DragTool::ZoomBox); });
    m_pan = add("mnuToolsPan", QStringLiteral("&Pan"), QStringLiteral("Ctrl+drag"), QStringLiteral("transform-move"),
                [](frmPlot &plot) { plot.plot()->setDragTool(Plot::DragTool::Pan); });
    for (QAction *tool : {m_zoomBox, m_pan}) {
        tool->setCheckable(true);
        m_dragTools->addAction(tool);
    }
    m_zoomBox->setChecked(true);
    add("mnuToolsResetZoom", QStringLiteral("&Reset Zoom"), QStringLiteral("Home"), QStringLiteral("zoom-original"),
        [](frmPlot &plot) { plot.plot()->showFullView(); });
    m_entries.append(nullptr);
    add("mnuToolsCursors", QStringLiteral("&Cursors"), QStringLiteral("C"), QString(), [](frmPlot &plot) {
        plot.plot()->setCursorsShown(!plot.plot()->cursors().shown());
    });
    add("mnuToolsCopy", QStringLiteral("Cop&y"), QStringLiteral("Ctrl+C"), QStringLiteral("edit-copy"),
        [](frmPlot &plot) { plot.copyToClipboard(); });
}

QAction *GraphToolActions::add(const char *name, const QString &text, const QString &key, const QString &icon,
                               std::function<void(frmPlot &)> command)
{
    // The key is shown, not bound: the graph reads its keys itself while it
    // has the focus, and a window-wide shortcut would take them from fields.
    auto *action = new QAction(QIcon::fromTheme(icon), text + QLatin1Char('\t') + key, this);
    action->setObjectName(QLatin1String(name));
    // A toolbar button shows the name where the desktop theme has no icon.
    action->setIconText(QString(text).remove(QLatin1Char('&')));
    action->setToolTip(QStringLiteral("%1 (%2)").arg(QString(text).remove(QLatin1Char('&')), key));
    connect(action, &QAction::triggered, this, [this, command = std::move(command)] {
        if (frmPlot *plot = m_activePlot())
            command(*plot);
    });
    m_entries.append(action);
    return action;
}

QList<QAction *> GraphToolActions::commands() const
{
    QList<QAction *> commands = m_entries;
    commands.removeAll(nullptr);
    return commands;
}

void GraphToolActions::attach(frmPlot &plot)
{
    plot.plot()->setMenuActions(commands());
    plot.plot()->setDragTool(m_pan->isChecked() ? Plot::DragTool::Pan : Plot::DragTool::ZoomBox);
}

void GraphToolActions::setEnabled(bool enabled)
{
    for (QAction *entry : m_entries)
        if (entry)
            entry->setEnabled(enabled);
}
