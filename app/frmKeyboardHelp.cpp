// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmKeyboardHelp.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The controls as (key or gesture, what it does), in the table's order.
QList<std::pair<QString, QString>> controls()
{
    return {
        {QStringLiteral("Mouse wheel"), QStringLiteral("Zoom the X axis in or out about the pointer")},
        {QStringLiteral("Shift + mouse wheel"), QStringLiteral("Zoom the Y axis about the pointer")},
        {QStringLiteral("+ and -"), QStringLiteral("Zoom the X axis in or out about its middle (Tools > Zoom In, Zoom Out)")},
        {QStringLiteral("Drag a box with the left button"),
         QStringLiteral("Zoom to the box; a flat box zooms one axis (Tools > Zoom Box)")},
        {QStringLiteral("Middle-button drag, Ctrl + left drag"),
         QStringLiteral("Pan; with Tools > Pan a plain left drag pans too")},
        {QStringLiteral("Home, or a double click"), QStringLiteral("Back to the full view (Tools > Reset Zoom)")},
        {QStringLiteral("C"), QStringLiteral("Show or hide the two measuring cursors (Tools > Cursors)")},
        {QStringLiteral("1, 2"), QStringLiteral("Make cursor 1 or 2 the active one (drawn thicker)")},
        {QStringLiteral("Left, Right (Shift: 10 points)"),
         QStringLiteral("Move the active cursor, or a clicked point's mark while the cursors are hidden")},
        {QStringLiteral("Shift + click"), QStringLiteral("Put the active cursor there; the other becomes active")},
        {QStringLiteral("Drag a cursor line"), QStringLiteral("Move that cursor")},
        {QStringLiteral("Click a point"), QStringLiteral("Mark it with its x,y values; click again to remove the mark")},
        {QStringLiteral("Right click on a graph"), QStringLiteral("Plotting method of the view, and the graph tools")},
        {QStringLiteral("Ctrl+C"),
         QStringLiteral("Copy the cursor readout, or in the Data List the selected lines (Tools > Copy)")},
        {QStringLiteral("Shift or Ctrl + click in the Data List"), QStringLiteral("Select several lines")},
        {QStringLiteral("Enter, or leaving a field"), QStringLiteral("Take the number typed (sample count, rate, FFT options)")},
        {QStringLiteral("Esc"), QStringLiteral("Stop the acquisition under way")},
    };
}

} // namespace

frmKeyboardHelp::frmKeyboardHelp(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Keyboard and Mouse"));
    const auto rows = controls();
    auto *table = new QTableWidget(int(rows.size()), 2, this);
    table->setObjectName(QStringLiteral("tblControls"));
    table->setHorizontalHeaderLabels({QStringLiteral("Key or gesture"), QStringLiteral("What it does")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(true);
    for (int row = 0; row < int(rows.size()); ++row) {
        table->setItem(row, 0, new QTableWidgetItem(rows[row].first));
        table->setItem(row, 1, new QTableWidgetItem(rows[row].second));
    }
    table->resizeColumnToContents(0);
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeRowsToContents();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(760, 520);
}
