// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "driverMessageWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

// Answers the driver's message windows as a user would: every visible one is
// found among the top-level windows and its button clicked. Records the titles.
class MessageWindowClicker : public QObject
{
public:
    MessageWindowClicker()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { clickVisible(); });
        m_timer.start();
    }

    QStringList titles;
    QList<QStringList> texts;

private:
    void clickVisible()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<driverMessageWindow *>(widget);
            if (!window || !window->isVisible() || window->done())
                continue;
            titles.append(window->windowTitle());
            QStringList lines;
            for (const QLabel *label : window->findChildren<QLabel *>())
                lines.append(label->text());
            texts.append(lines);
            window->button()->click();
        }
    }

    QTimer m_timer;
};
