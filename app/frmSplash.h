// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// Shown while the program starts; closes itself 2500 ms after it loads.
class frmSplash : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ShowMilliseconds = 2500;

    explicit frmSplash(QWidget *parent = nullptr);

    // Shows the splash window and processes events until it has closed.
    static void showAndWait();
    // True while a splash window is up.
    static bool showing();

    QString labelText(const char *name) const;

private:
    void Timer1_Timer();

    QTimer *m_timer1;
};
