// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

class QPushButton;

// A small message window of the driver library: text lines and one button.
// done() is false while it is open and true once the button was clicked. The
// caller shows it without blocking and keeps the user interface running until
// it is done.
class driverMessageWindow : public QDialog
{
    Q_OBJECT

public:
    driverMessageWindow(const QString &title, const QStringList &lines, const QString &buttonText,
                        QWidget *parent = nullptr);

    bool done() const { return m_done; }
    QPushButton *button() const { return m_button; }

    // Shows the window and runs the event loop until the button is clicked,
    // the window is closed or destroyed. Returns at once if already done.
    void showAndWait();

signals:
    void doneChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void finish();

    QPushButton *m_button;
    bool m_done = false;
};
