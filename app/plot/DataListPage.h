// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFormat.h"

#include <QWidget>

#include <array>

class PlotDocument;
class QButtonGroup;
class QListView;
class QRadioButton;
class QStringListModel;

// The Data List tab: the block's codes one per line in a list that selects
// several lines, and the choice of the format they are written in, which it
// writes into the document's options and shows as the document holds it.
class DataListPage : public QWidget
{
    Q_OBJECT

public:
    explicit DataListPage(PlotDocument &document, QWidget *parent = nullptr);

    void setLines(const QStringList &lines);
    // The selected lines in list order, each ending in a line break.
    QString selectedText() const;

    QListView *list() const { return m_list; }
    QRadioButton *formatOption(int index) const;

signals:
    // The user clicked a format option.
    void formatChosen();

private:
    void showFormat();

    PlotDocument &m_document;
    QListView *m_list;
    QStringListModel *m_model;
    QButtonGroup *m_formatGroup;
    std::array<QRadioButton *, DataFormats::Count> m_formatOptions{};
};
