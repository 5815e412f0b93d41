// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ViewReferences.h"

#include <QWidget>

class QLabel;
class QPushButton;

// The graph views' reference commands: "Hold as reference" keeps the graph on
// show, "Clear Reference" drops it, "Save Reference" and "Load Reference"
// write and read it as a data file of the view's kind. Each graph view has its
// own reference; the label names the one on show, with its settings in the
// tooltip.
class ReferenceBar : public QWidget
{
    Q_OBJECT

public:
    explicit ReferenceBar(const PlotDocument &document, QWidget *parent = nullptr);

    const ViewReferences &references() const { return m_references; }
    // The reference of the view on show, null when there is none.
    const ViewReference *shown() const { return m_references.of(m_document.view()); }
    // Brings the commands and the label up to date for the view on show; the
    // bar hides where there is no graph.
    void showForView();

    QPushButton *btnHold() const { return m_hold; }
    QPushButton *btnClear() const { return m_clear; }
    QPushButton *btnSave() const { return m_save; }
    QPushButton *btnLoad() const { return m_load; }
    QLabel *lblReference() const { return m_label; }

signals:
    // The view on show must be drawn again.
    void referenceChanged();
    // A loaded reference belongs to view, which is not on show.
    void viewRequested(PlotDocument::View view);

private:
    void hold();
    void clear();
    void save();
    void load();

    const PlotDocument &m_document;
    ViewReferences m_references;
    QPushButton *m_hold;
    QPushButton *m_clear;
    QPushButton *m_save;
    QPushButton *m_load;
    QLabel *m_label;
};
