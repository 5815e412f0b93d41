// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFormat.h"

#include <QWidget>

#include <array>
#include <optional>

class QButtonGroup;
class QListView;
class QRadioButton;
class QStringListModel;

// The Data List tab: the block's codes one per line in a list that selects
// several lines, and the choice of the format they are written in.
class DataListPage : public QWidget
{
    Q_OBJECT

public:
    explicit DataListPage(QWidget *parent = nullptr);

    void setLines(const QStringList &lines);
    // The selected lines in list order, each ending in a line break.
    QString selectedText() const;
    // The checked format; none when the user has not chosen one.
    std::optional<DataFormat> dataFormat() const;

    QListView *list() const { return m_list; }
    QRadioButton *formatOption(int index) const;

signals:
    void formatChosen();

private:
    QListView *m_list;
    QStringListModel *m_model;
    QButtonGroup *m_formatGroup;
    std::array<QRadioButton *, 4> m_formatOptions{};
};
