// SPDX-License-Identifier: GPL-3.0-or-later
#include "FiguresPanel.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

FiguresPanel::FiguresPanel(const QString &title, QWidget *parent)
    : QGroupBox(title, parent), m_form(new QFormLayout), m_note(new QLabel)
{
    auto *layout = new QVBoxLayout(this);
    m_form->setLabelAlignment(Qt::AlignLeft);
    m_form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    layout->addLayout(m_form);
    m_note->setWordWrap(true);
    m_note->setStyleSheet(QStringLiteral("color: #a04000;"));
    m_note->hide();
    layout->addWidget(m_note);
    layout->addStretch(1);
}

void FiguresPanel::setRows(const QList<NoiseTexts::Row> &rows)
{
    if (rows.size() != m_values.size()) {
        while (m_form->rowCount() > 0)
            m_form->removeRow(0);
        m_labels.clear();
        m_values.clear();
        for (qsizetype i = 0; i < rows.size(); ++i) {
            m_labels.append(new QLabel);
            m_values.append(new QLabel);
            m_values.last()->setTextInteractionFlags(Qt::TextSelectableByMouse);
            m_form->addRow(m_labels.last(), m_values.last());
        }
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        m_labels[i]->setText(rows[i].label + QLatin1Char(':'));
        m_values[i]->setText(rows[i].text);
    }
}

void FiguresPanel::setNote(const QString &text)
{
    m_note->setText(text);
    m_note->setVisible(!text.isEmpty());
}

QString FiguresPanel::valueText(int row) const
{
    return row >= 0 && row < m_values.size() ? m_values[row]->text() : QString();
}

QString FiguresPanel::note() const
{
    return m_note->text();
}

bool FiguresPanel::noteShown() const
{
    return !m_note->isHidden();
}
