// SPDX-License-Identifier: GPL-3.0-or-later
#include "driverMessageWindow.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

driverMessageWindow::driverMessageWindow(const QString &title, const QStringList &lines, const QString &buttonText,
                                         QWidget *parent)
    : QDialog(parent)
    , m_button(new QPushButton(buttonText, this))
{
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    for (const QString &line : lines) {
        auto *label = new QLabel(line, this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    m_button->setObjectName(QStringLiteral("btnDone"));
    m_button->setDefault(true);
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
    setMinimumWidth(420);
    connect(m_button, &QPushButton::clicked, this, &driverMessageWindow::finish);
}

void driverMessageWindow::finish()
{
    if (m_done)
        return;
    m_done = true;
    hide();
    emit doneChanged();
}

void driverMessageWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window answers it as the button does.
    finish();
    event->accept();
}

void driverMessageWindow::reject()
{
    finish();
}

void driverMessageWindow::showAndWait()
{
    if (m_done)
        return;
    QEventLoop loop;
    connect(this, &driverMessageWindow::doneChanged, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    show();
    raise();
    activateWindow();
    loop.exec();
}
