// SPDX-License-Identifier: GPL-3.0-or-later
#include "GraphToolsBar.h"

#include "NumberFormat.h"
#include "Plot.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>

GraphToolsBar::GraphToolsBar(Plot *plot, QWidget *parent)
    : QWidget(parent), m_plot(plot), m_readout(new QLabel(this)),
      m_timeInSeconds(new QCheckBox(QStringLiteral("Time axis in seconds"), this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    m_readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_readout, 1);
    layout->addWidget(m_timeInSeconds, 0, Qt::AlignTop);
    m_readout->hide();
    connect(m_plot, &Plot::cursorsChanged, this, &GraphToolsBar::showReadout);
    connect(m_timeInSeconds, &QCheckBox::toggled, this, &GraphToolsBar::timeAxisChanged);
}

bool GraphToolsBar::timeInSeconds() const
{
    return m_timeInSeconds->isChecked();
}

QString GraphToolsBar::readoutText() const
{
    return m_readout->isHidden() ? QString() : m_readout->text();
}

void GraphToolsBar::showFor(bool graphShown, bool timeChoiceShown)
{
    m_graphShown = graphShown;
    m_timeInSeconds->setVisible(timeChoiceShown);
    hideWhenEmpty();
}

void GraphToolsBar::hideWhenEmpty()
{
    setVisible(m_graphShown && (!m_readout->isHidden() || !m_timeInSeconds->isHidden()));
}

void GraphToolsBar::showReadout()
{
    const std::optional<CursorReadout> readout = m_plot->cursorReadout();
    m_readout->setText(readout ? readout->text(NumberFormat::screenSeparator()) : QString());
    m_readout->setVisible(readout.has_value());
    hideWhenEmpty();
}
