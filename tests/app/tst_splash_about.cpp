// SPDX-License-Identifier: GPL-3.0-or-later
// The splash window's wait and texts, and the About window.
#include "ProgramInfo.h"
#include "frmAbout.h"
#include "frmSplash.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class tst_splash_about : public QObject
{
    Q_OBJECT

private slots:
    void splashWaitsItsTime()
    {
        QStringList seen;
        bool showingMeanwhile = false;
        QTimer::singleShot(100, this, [&] {
            showingMeanwhile = frmSplash::showing();
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *splash = qobject_cast<frmSplash *>(widget))
                    for (const char *name : {"lblCompanyProduct", "lblVersion", "lblProductName", "lblWarning", "lblPlatform"})
                        seen << splash->labelText(name);
        });
        QElapsedTimer clock;
        clock.start();
        frmSplash::showAndWait();
        QVERIFY2(clock.elapsed() >= frmSplash::ShowMilliseconds, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!frmSplash::showing());
        QVERIFY(showingMeanwhile);
        QCOMPARE(seen, (QStringList{"KZ7305 Evaluation Module", "Version 0.1.17", "KZ7305EVM",
                                    "Test Only version: 12/03/2001", "Windows 95/98/NT/2000"}));
    }

    void aboutShowsTheVersion()
    {
        frmAbout about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About KZ7305EVM"));
        QCOMPARE(about.lblVersion()->text(), QStringLiteral("Version 0.1.17"));
        QCOMPARE(about.lblTitle()->text(), QStringLiteral("KZ7305EVM"));
        QTimer::singleShot(0, about.cmdOK(), &QPushButton::click);
        QCOMPARE(about.exec(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(tst_splash_about)
#include "tst_splash_about.moc"
