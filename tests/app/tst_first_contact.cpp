// SPDX-License-Identifier: GPL-3.0-or-later
// What a new user meets: the setup dialog above the main window, Acquire
// without a port saying what to do, and a plot window that fits the main
// window as it grows and shrinks.
#include "AcquisitionPanel.h"
#include "DialogAnswerer.h"
#include "ShippedDriver.h"
#include "SimulatedBoard.h"
#include "Plot.h"
#include "frmMain.h"
#include "frmPlot.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

class tst_first_contact : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    SimulatedBoard m_board;

    static QDialog *setupDialog()
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && QByteArray(widget->metaObject()->className()) == "frmSetup")
                return qobject_cast<QDialog *>(widget);
        return nullptr;
    }

    // A first start: no placement stored, the shipped driver on a simulated board.
    std::unique_ptr<frmMain> firstStart()
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KZ7305EVM"),
                           QStringLiteral("KZ7305EVM"));
        settings.remove(QStringLiteral("Settings"));
        settings.sync();
        auto window = std::make_unique<frmMain>();
        window->load();
        return window;
    }

    // Whether w shows whole: nothing of it cut by a parent or the window's edge.
    static bool whole(const QWidget *w)
    {
        if (!w->isVisible())
            return false;
        QRect area = w->rect();
        for (const QWidget *inner = w; !inner->isWindow(); inner = inner->parentWidget()) {
            area.translate(inner->pos());
            if (!inner->parentWidget()->rect().contains(area))
                return false;
        }
        return true;
    }

    // Graph and the four status panels uncut.
    static bool plotWhole(frmMain &window)
    {
        const frmPlot *plot = window.activePlot();
        const auto panels = plot->findChild<QStatusBar *>()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
        return whole(plot->plot()) && panels.size() == 4 &&
               std::all_of(panels.begin(), panels.end(), [](const QLabel *panel) { return whole(panel); });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        useShippedDriver(m_dir);
        const QString path = m_board.start();
        QVERIFY2(!path.isEmpty(), qPrintable(m_board.errorString()));
        qputenv("KZ7305EVM_PORTS", path.toLocal8Bit());
    }

    void setupDialogBelongsToTheMainWindow()
    {
        auto window = firstStart();
        QTRY_VERIFY(setupDialog());
        QDialog *dialog = setupDialog();
        QCOMPARE(dialog->parentWidget(), window.get());
        QVERIFY(!dialog->isModal());
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
        const QPoint offset = dialog->frameGeometry().center() - window->frameGeometry().center();
        QVERIFY2(offset.manhattanLength() < 40, qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
        dialog->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
    }

    void acquireWithoutPortSaysWhatToDo()
    {
        auto window = firstStart();
        QTRY_VERIFY(setupDialog());
        // Cancel leaves the port closed.
        setupDialog()->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        window->panel()->cmdAcquire()->click();
        QTRY_VERIFY(window->panel()->cmdAcquire()->isEnabled());
        const QString shown = window->statusField(1) + QLatin1Char('\n') + window->statusField(2);
        QVERIFY2(shown.contains(QStringLiteral("No serial port is open: choose one in Edit > EVM Setup")), qPrintable(shown));
        QAction *setup = window->action(QStringLiteral("mnuEditEVMSetup"));
        QVERIFY(setup->isEnabled());

        // Setting up again clears the stale error; the board then answers.
        DialogAnswerer answerer;
        setup->trigger();
        QTRY_VERIFY(answerer.setupsAnswered > 0);
        QVERIFY(!window->statusField(2).contains(QStringLiteral("No serial port")));
        QCOMPARE(window->statusField(1), QStringLiteral("Ready"));
        window->panel()->cmdAcquire()->click();
        QTRY_VERIFY_WITH_TIMEOUT(window->panel()->cmdAcquire()->isEnabled() && window->statusField(1) == QLatin1String("Ready"), 15000);
        QCOMPARE(window->activePlot()->numPoints(), window->panel()->sampleCount());
    }

    // The first dialog stays open beside the window: choosing the port there
    // clears the note of an Acquire pressed before.
    void portChosenInTheOpenDialogClearsTheNote()
    {
        auto window = firstStart();
        QTRY_VERIFY(setupDialog());
        window->panel()->cmdAcquire()->click();
        QTRY_VERIFY(window->statusField(2).contains(QStringLiteral("No serial port is open")));
        setupDialog()->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        QTRY_COMPARE(window->statusField(1), QStringLiteral("Ready"));
        QVERIFY(window->statusField(2).isEmpty());
    }

    void plotWindowFollowsTheMainWindow()
    {
        DialogAnswerer answerer;
        auto window = firstStart();
        QTRY_VERIFY(answerer.setupsAnswered > 0);
        window->activePlot()->selectTab(1); // the widest view: graph and options
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(plotWhole(*window));

        window->resize(1250, 780);
        QTRY_VERIFY(window->activePlot()->width() > 800);
        QVERIFY(plotWhole(*window));
        const int wide = window->activePlot()->width();

        window->resize(window->minimumSizeHint());
        QTRY_VERIFY(window->activePlot()->width() < wide - 200);
        QVERIFY(plotWhole(*window));
        // The smallest main window fits a 1280 x 800 screen.
        QVERIFY(window->frameGeometry().width() <= 1280 && window->frameGeometry().height() <= 800);
    }
};

QTEST_MAIN(tst_first_contact)
#include "tst_first_contact.moc"
