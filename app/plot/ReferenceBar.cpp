// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReferenceBar.h"

#include "FileDialogs.h"
#include "UserMessage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ReferenceBar::ReferenceBar(const PlotDocument &document, QWidget *parent)
    : QWidget(parent), m_document(document), m_hold(new QPushButton(QStringLiteral("Hold as reference"), this)),
      m_clear(new QPushButton(QStringLiteral("Clear Reference"), this)),
      m_save(new QPushButton(QStringLiteral("Save Reference"), this)),
      m_load(new QPushButton(QStringLiteral("Load Reference"), this)), m_label(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    for (QPushButton *button : {m_hold, m_clear, m_save, m_load})
        layout->addWidget(button);
    layout->addWidget(m_label, 1);
    connect(m_hold, &QPushButton::clicked, this, &ReferenceBar::hold);
    connect(m_clear, &QPushButton::clicked, this, &ReferenceBar::clear);
    connect(m_save, &QPushButton::clicked, this, &ReferenceBar::save);
    connect(m_load, &QPushButton::clicked, this, &ReferenceBar::load);
    showForView();
}

void ReferenceBar::showForView()
{
    const PlotDocument::View view = m_document.view();
    setVisible(view != PlotDocument::DataList);
    const ViewReference *reference = shown();
    m_hold->setEnabled(m_document.DataReady());
    m_clear->setEnabled(reference);
    m_save->setEnabled(reference);
    // The first line names the reference; all of them are in the tooltip.
    QString name = reference ? reference->settings().section(QLatin1Char('\n'), 0, 0) : QString();
    const SpectrumUnit unit = m_document.fftShownUnit();
    if (reference && view == PlotDocument::FFTPlot && !reference->levelsIn(unit))
        name += QStringLiteral(": not drawn in %1, its file keeps no window").arg(SpectrumUnits::caption(unit));
    m_label->setText(name);
    m_label->setToolTip(reference ? reference->settings() : QString());
    for (QWidget *widget : {static_cast<QWidget *>(m_clear), static_cast<QWidget *>(m_save)})
        widget->setToolTip(m_label->toolTip());
}

void ReferenceBar::hold()
{
    if (m_references.hold(m_document))
        emit referenceChanged();
}

void ReferenceBar::clear()
{
    m_references.clear(m_document.view());
    emit referenceChanged();
}

void ReferenceBar::save()
{
    const QString path = FileDialogs::getSaveFileName(this, QStringLiteral("Save Reference"));
    QString message;
    if (!path.isEmpty() && !m_references.save(m_document.view(), path, &message))
        UserMessage::show(this, message);
}

void ReferenceBar::load()
{
    const QString path = FileDialogs::getOpenFileName(this, QStringLiteral("Load Reference"));
    if (path.isEmpty())
        return;
    QString message;
    const std::optional<PlotDocument::View> view = m_references.load(path, &message);
    if (!view)
        UserMessage::show(this, message);
    else if (*view == m_document.view())
        emit referenceChanged();
    else
        emit viewRequested(*view);
}
