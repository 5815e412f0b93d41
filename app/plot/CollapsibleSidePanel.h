// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QScrollArea;
class QToolButton;

// A panel of controls beside a graph that folds away to a narrow button.
// Its content scrolls vertically when the window is too short for it, so the
// panel never makes the window taller.
class CollapsibleSidePanel : public QWidget
{
    Q_OBJECT

public:
    CollapsibleSidePanel(const QString &title, QWidget *content, QWidget *parent = nullptr);

    bool isExpanded() const;
    void setExpanded(bool expanded);
    QToolButton *toggleButton() const { return m_toggle; }

signals:
    void expandedChanged(bool expanded);

private:
    void showExpanded(bool expanded);

    QToolButton *m_toggle;
    QScrollArea *m_scroll;
};
