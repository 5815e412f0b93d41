// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumericFieldFilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

NumericFieldFilter::NumericFieldFilter(QLineEdit *field, QString startText, Check check)
    : QObject(field), m_field(field), m_startText(std::move(startText)), m_check(std::move(check))
{
    field->installEventFilter(this);
}

void NumericFieldFilter::check()
{
    const QString checked = QString::number(m_check(m_field->text()));
    if (checked != m_field->text())
        m_field->setText(checked);
}

bool NumericFieldFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field)
        return false;
    if (event->type() == QEvent::FocusOut) {
        check();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        check();
        return true;
    case Qt::Key_Escape:
        check();
        m_field->setText(m_startText);
        return true;
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    if (text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9'))
        return false;
    QApplication::beep();
    return true;
}
