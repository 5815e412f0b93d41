// SPDX-License-Identifier: GPL-3.0-or-later
#include "CollapsibleSidePanel.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

CollapsibleSidePanel::CollapsibleSidePanel(const QString &title, QWidget *content, QWidget *parent)
    : QWidget(parent), m_toggle(new QToolButton(this)), m_scroll(new QScrollArea(this))
{
    m_toggle->setText(title);
    m_toggle->setToolTip(QStringLiteral("Show or hide the %1").arg(title.toLower()));
    m_toggle->setCheckable(true);
    m_toggle->setChecked(true);
    m_toggle->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    m_scroll->setWidget(content);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // As wide as the content and a scroll bar: the graph takes the rest.
    m_scroll->setFixedWidth(content->sizeHint().width() + m_scroll->verticalScrollBar()->sizeHint().width());
    m_scroll->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_toggle);
    layout->addWidget(m_scroll, 1);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    connect(m_toggle, &QToolButton::toggled, this, [this](bool expanded) {
        showExpanded(expanded);
        emit expandedChanged(expanded);
    });
    showExpanded(true);
}

bool CollapsibleSidePanel::isExpanded() const
{
    return m_toggle->isChecked();
}

void CollapsibleSidePanel::setExpanded(bool expanded)
{
    m_toggle->setChecked(expanded);
}

void CollapsibleSidePanel::showExpanded(bool expanded)
{
    m_scroll->setVisible(expanded);
    m_toggle->setArrowType(expanded ? Qt::RightArrow : Qt::LeftArrow);
    // Folded, the arrow alone: the graph gets all but a button's width.
    m_toggle->setToolButtonStyle(expanded ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
}
