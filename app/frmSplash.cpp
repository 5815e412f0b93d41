// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmSplash.h"

#include "ProgramInfo.h"

#include <QApplication>
#include <QEventLoop>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {
bool splashShowing = false;
}

frmSplash::frmSplash(QWidget *parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_timer1(new QTimer(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    splashShowing = true;

    auto *fraMainFrame = new QFrame(this);
    fraMainFrame->setFrameShape(QFrame::Box);
    auto *grid = new QGridLayout(fraMainFrame);
    auto *picLogo = new QLabel(fraMainFrame);
    picLogo->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(64, 64));
    grid->addWidget(picLogo, 0, 0, 4, 1, Qt::AlignTop);

    auto addLabel = [&](const char *name, const QString &text, int row, int pointSize) {
        auto *label = new QLabel(text, fraMainFrame);
        label->setObjectName(QLatin1String(name));
        QFont font = label->font();
        if (pointSize > 0) {
            font.setPointSize(pointSize);
            font.setBold(true);
        }
        label->setFont(font);
        grid->addWidget(label, row, 1);
    };
    addLabel("lblCompanyProduct", QStringLiteral("KZ7305 Evaluation Module"), 0, 12);
    addLabel("lblVersion", ProgramInfo::versionText(), 2, 0);
    addLabel("lblProductName", ProgramInfo::title(), 1, 20);
    addLabel("lblWarning", QStringLiteral("Test Only version: 12/03/2001"), 3, 0);
    addLabel("lblCopyright", ProgramInfo::copyright(), 4, 0);
    addLabel("lblCompany", ProgramInfo::companyName(), 5, 0);
    addLabel("lblPlatform", QStringLiteral("Windows 95/98/NT/2000"), 6, 0);

    (new QVBoxLayout(this))->addWidget(fraMainFrame);

    m_timer1->setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the splash stays its full time.
    m_timer1->setTimerType(Qt::PreciseTimer);
    m_timer1->setInterval(ShowMilliseconds);
    connect(m_timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    m_timer1->start();
}

QString frmSplash::labelText(const char *name) const
{
    const auto *label = findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QString();
}

void frmSplash::Timer1_Timer()
{
    splashShowing = false;
    close();
}

bool frmSplash::showing()
{
    return splashShowing;
}

void frmSplash::showAndWait()
{
    auto *splash = new frmSplash;
    splash->show();
    splash->repaint();
    QEventLoop wait;
    connect(splash, &QObject::destroyed, &wait, &QEventLoop::quit);
    // Blocks on events until the splash window's timer has closed it.
    if (showing())
        wait.exec();
}
