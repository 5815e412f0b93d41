// SPDX-License-Identifier: GPL-3.0-or-later
#include "FiguresPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

FiguresPanel::FiguresPanel(const QString &title, QWidget *parent)
    : QGroupBox(title, parent), m_grid(new QGridLayout), m_note(new QLabel)
{
    auto *layout = new QVBoxLayout(this);
    m_grid->setHorizontalSpacing(8);
    layout->addLayout(m_grid);
    m_note->setWordWrap(true);
    m_note->setStyleSheet(QStringLiteral("color: #a04000;"));
    m_note->hide();
    layout->addWidget(m_note);
    layout->addStretch(1);
}

void FiguresPanel::setRows(const QList<FigureCatalogue::Row> &rows)
{
    if (rows.size() != m_values.size()) {
        qDeleteAll(m_labels);
        qDeleteAll(m_values);
        m_labels.clear();
        m_values.clear();
        for (int i = 0; i < rows.size(); ++i) {
            m_labels.append(new QLabel(this));
            m_values.append(new QLabel(this));
            m_values.last()->setTextInteractionFlags(Qt::TextSelectableByMouse);
            // Room for the widest value from the start: a panel that grew with
            // its figures would widen the window past the room it was given.
            m_values.last()->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-16800000 codes")));
            m_grid->addWidget(m_labels.last(), i, 0);
            m_grid->addWidget(m_values.last(), i, 1);
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
