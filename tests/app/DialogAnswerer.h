// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>

// Answers the board driver's windows as a user would, from outside the driver
// library (its classes are known here by name only): the setup dialog with OK,
// every message window with its button. Counts the message windows answered.
class DialogAnswerer : public QObject
{
public:
    DialogAnswerer()
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] { answerVisible(); });
        m_timer.start();
    }

    int messagesAnswered = 0;
    int setupsAnswered = 0;

private:
    void answerVisible()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QDialog *>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            const QByteArray kind = dialog->metaObject()->className();
            if (kind == "frmSetup") {
                for (QPushButton *button : dialog->findChildren<QPushButton *>())
                    if (button->text() == QLatin1String("OK")) {
                        ++setupsAnswered;
                        button->click();
                    }
            } else if (auto *done = dialog->findChild<QPushButton *>(QStringLiteral("btnDone"))) {
                ++messagesAnswered;
                done->click();
            }
        }
    }

    QTimer m_timer;
};
