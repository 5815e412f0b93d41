// SPDX-License-Identifier: GPL-3.0-or-later
// The program ends when asked (SIGTERM, SIGINT, the close button) while a
// call into the driver waits: for a silent board during the configuration
// writes, or for a message window. Told apart without timing: the close is
// asked for while the wait is known to be pending, and the board counts the
// requests it got, so a wait that ran into its time-out shows as a resend.
#include "AcquisitionPanel.h"
#include "DialogAnswerer.h"
#include "HostileBoard.h"
#include "InterruptWatcher.h"
#include "ShippedDriver.h"
#include "UserMessage.h"
#include "frmMain.h"

#include <QMessageBox>
#include <QPushButton>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <vector>

using Fault = HostileBoard::Fault;

class tst_close_while_waiting : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    // The first visible top-level window of class className, or nullptr.
    static QWidget *visibleWindow(const char *className)
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && widget->inherits(className))
                return widget;
        return nullptr;
    }

    // Asks window to close as the row says: a signal through the watcher the
    // program's main() installs, or the close button.
    static void askToClose(frmMain &window, int signalNumber)
    {
        if (signalNumber == 0)
            window.close();
        else
            ::raise(signalNumber);
    }

    // Calls then from the event loop once pending() holds.
    static void whenPending(const std::function<bool()> &pending, const std::function<void()> &then)
    {
        QTimer::singleShot(0, [pending, then] {
            if (pending())
                then();
            else
                whenPending(pending, then);
        });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        useShippedDriver(m_home);
    }

    void requests_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("close button") << 0;
    }

    void endsWhileConfigurationWaits_data() { requests_data(); }

    void endsWhileConfigurationWaits()
    {
        QFETCH(int, signalNumber);
        HostileBoard board;
        qputenv("KZ7305EVM_PORTS", board.devicePath().toLocal8Bit());
        DialogAnswerer answerer;
        frmMain window;
        InterruptWatcher interrupts;
        connect(&interrupts, &InterruptWatcher::interrupted, &window, &QWidget::close);
        window.load();
        QTRY_VERIFY(answerer.setupsAnswered > 0);

        // From the first request of the acquisition on the board is silent;
        // the close is asked for while the driver waits for its answer.
        const int before = board.requests();
        board.faultFor = [&](const csr232packet &, int index) {
            if (index == before)
                QTimer::singleShot(0, [&] { askToClose(window, signalNumber); });
            return Fault::Lose;
        };
        window.panel()->cmdAcquire()->click();
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(board.requests(), before + 1); // the wait ended before any resend
        QVERIFY(!visibleWindow("QDialog"));
    }

    void endsWhileADriverMessageWindowWaits_data() { requests_data(); }

    // No free serial port (the test holds the machine's): the driver's "No
    // serial ports found" window waits inside the start-up's setup call.
    void endsWhileADriverMessageWindowWaits()
    {
        QFETCH(int, signalNumber);
        qputenv("KZ7305EVM_PORTS", m_home.filePath(QStringLiteral("no-such-port")).toLocal8Bit());
        std::vector<std::unique_ptr<QSerialPort>> held;
        for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts()) {
            held.push_back(std::make_unique<QSerialPort>(port));
            held.back()->open(QIODevice::ReadWrite);
        }
        frmMain window;
        InterruptWatcher interrupts;
        connect(&interrupts, &InterruptWatcher::interrupted, &window, &QWidget::close);
        bool messageShown = false;
        bool stillOpen = false;
        // Looked at once the close has been handled; a wait the close did not
        // end is ended by the test itself, so a failure does not hang.
        const auto endLeftoverWait = [&] {
            if (QWidget *message = visibleWindow("driverMessageWindow")) {
                stillOpen = true;
                message->findChild<QPushButton *>(QStringLiteral("btnDone"))->click();
            }
        };
        connect(&interrupts, &InterruptWatcher::interrupted, this, endLeftoverWait);
        whenPending([] { return visibleWindow("driverMessageWindow") != nullptr; }, [&] {
            messageShown = true;
            askToClose(window, signalNumber);
            if (signalNumber == 0)
                endLeftoverWait();
        });
        window.load();
        if (!messageShown)
            QSKIP("a serial port of this machine could not be held");
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(!stillOpen);
        QVERIFY(!visibleWindow("QDialog"));
    }

    // A message box of the program itself, as shown when a command fails.
    void endsWhileAProgramMessageIsOpen()
    {
        qputenv("KZ7305EVM_PORTS", m_home.filePath(QStringLiteral("no-such-port")).toLocal8Bit());
        DialogAnswerer answerer;
        frmMain window;
        window.load();
        InterruptWatcher interrupts;
        connect(&interrupts, &InterruptWatcher::interrupted, &window, &QWidget::close);
        bool stillOpen = false;
        connect(&interrupts, &InterruptWatcher::interrupted, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(visibleWindow("QMessageBox"))) {
                stillOpen = true;
                box->accept();
            }
        });
        whenPending([] { return visibleWindow("QMessageBox") != nullptr; }, [] { ::raise(SIGTERM); });
        UserMessage::show(&window, QStringLiteral("A command failed"));
        QVERIFY(!stillOpen);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(tst_close_while_waiting)
#include "tst_close_while_waiting.moc"
