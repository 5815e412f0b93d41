// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FigureCatalogue.h"

#include <QGroupBox>
#include <QList>

class QGridLayout;
class QLabel;

// A column of figures beside a graph: "label: value" rows and an optional
// note under them (shown only when it has text).
class FiguresPanel : public QGroupBox
{
    Q_OBJECT

public:
    explicit FiguresPanel(const QString &title, QWidget *parent = nullptr);

    // Replaces the rows' texts (and the rows when their count changes).
    void setRows(const QList<FigureCatalogue::Row> &rows);
    void setNote(const QString &text);

    QString valueText(int row) const;
    QString note() const;
    bool noteShown() const;

private:
    QGridLayout *m_grid;
    QList<QLabel *> m_labels;
    QList<QLabel *> m_values;
    QLabel *m_note;
};
