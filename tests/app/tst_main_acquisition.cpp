// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program against the simulated board on a pseudo-terminal: the
// shipped driver plug-in bound by its class identifier, the setup dialog
// answered, and acquisitions started from the main window's controls.
#include "AcquisitionPanel.h"
#include "DialogAnswerer.h"
#include "ShippedDriver.h"
#include "SimulatedBoard.h"
#include "frmMain.h"
#include "frmPlot.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTcpSocket>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class tst_main_acquisition : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    SimulatedBoard m_board;

    QString dumpFile() const { return m_dir.filePath(QStringLiteral("block.txt")); }

    // A main window bound to the shipped driver on a fresh simulated board.
    std::unique_ptr<frmMain> startOn(const QStringList &boardOptions, DialogAnswerer &answerer)
    {
        const QString path = m_board.start(QStringList{QStringLiteral("--dump"), dumpFile()} + boardOptions);
        if (path.isEmpty())
            qFatal("%s", qPrintable(m_board.errorString()));
        qputenv("KZ7305EVM_PORTS", path.toLocal8Bit());
        auto window = std::make_unique<frmMain>();
        window->load();
        if (!QTest::qWaitFor([&] { return answerer.setupsAnswered > 0; }, 5000))
            qFatal("the setup dialog did not appear");
        return window;
    }

    static bool idle(const frmMain &window)
    {
        return window.panel()->cmdAcquire()->isEnabled() && window.panel()->cmdStop()->isHidden();
    }

    QList<std::int32_t> dumpedBlock() const { return SimulatedBoard::readDump(dumpFile()); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        useShippedDriver(m_dir);
    }

    void singleShot()
    {
        DialogAnswerer answerer;
        auto window = startOn({}, answerer);
        window->panel()->txtNumSamples()->setText(QStringLiteral("256"));
        window->panel()->cmdAcquire()->click();
        QTRY_VERIFY_WITH_TIMEOUT(idle(*window), 15000);
        QCOMPARE(window->statusField(1), QStringLiteral("Ready"));
        QCOMPARE(window->panel()->prgAcquisitionProgress()->value(), 0);
        frmPlot *plot = window->activePlot();
        QCOMPARE(plot->numPoints(), 256);
        QCOMPARE(plot->windowTitle(), QStringLiteral("KZ7305EVM: Time Domain"));
        QCOMPARE(plot->NumBits(), std::int16_t(24));
        const QList<std::int32_t> board = dumpedBlock();
        QCOMPARE(board.size(), 256);
        QCOMPARE(plot->Maximum(), double(*std::max_element(board.begin(), board.end())));
        QCOMPARE(answerer.messagesAnswered, 0);
    }

    void largestBlockArrivesWhole()
    {
        DialogAnswerer answerer;
        auto window = startOn({}, answerer);
        window->panel()->txtNumSamples()->setText(QStringLiteral("43690"));
        window->panel()->cmdAcquire()->click();
        QTRY_VERIFY_WITH_TIMEOUT(idle(*window), 30000);
        QCOMPARE(window->statusField(1), QStringLiteral("Ready"));
        frmPlot *plot = window->activePlot();
        QCOMPARE(plot->numPoints(), 43690);
        // Code for code what the board produced: the data list shows every one.
        const QList<std::int32_t> board = dumpedBlock();
        QCOMPARE(board.size(), 43690);
        plot->showView(frmPlot::DataList);
        const QStringList lines = plot->dataListLines();
        QCOMPARE(lines.size(), 43690);
        for (int i : {0, 1, 32767, 32768, 43689})
            QVERIFY2(lines.at(i).endsWith(QString::number(board.at(i))), qPrintable(lines.at(i)));
    }

    void continuousUntilStopped()
    {
        DialogAnswerer answerer;
        auto window = startOn({QStringLiteral("--progress-ms"), QStringLiteral("5")}, answerer);
        int blocks = 0;
        connect(window->activePlot(), &frmPlot::CalcStatus, this, [&] {
            if (window->activePlot()->CalcProgress() == 0 && window->statusField(1) == QLatin1String("Ready"))
                ++blocks;
        });
        window->panel()->txtNumSamples()->setText(QStringLiteral("64"));
        window->panel()->optContinuous()->setChecked(true);
        window->panel()->cmdAcquire()->click();
        QVERIFY(window->panel()->cmdStop()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(blocks >= 6, 20000);
        QVERIFY(!window->panel()->cmdAcquire()->isEnabled());
        window->panel()->cmdStop()->click();
        QVERIFY(idle(*window)); // the block under way is cancelled at once
        QCOMPARE(window->statusField(1), QStringLiteral("Acquisition stopped"));
        QVERIFY(window->panel()->optSingleShot()->isChecked());
    }

    void boardDroppingBlockRequests()
    {
        DialogAnswerer answerer;
        const QString log = m_dir.filePath(QStringLiteral("requests.log"));
        auto window = startOn({QStringLiteral("--drop-every"), QStringLiteral("1"), QStringLiteral("--log"), log}, answerer);
        window->panel()->txtNumSamples()->setText(QStringLiteral("8"));
        window->panel()->cmdAcquire()->click();
        QTRY_VERIFY_WITH_TIMEOUT(window->statusField(1).startsWith(QStringLiteral("Data cannot")), 150000);
        QCOMPARE(window->statusField(1), QStringLiteral("Data cannot be received. Check connections and power."));
        QCOMPARE(window->statusField(2), QStringLiteral("Reception failed after 3 retries: the board did not answer"));
        // The first try and three retries, each from sample 0, each timed out
        // after the block request was sent three times.
        QFile requests(log);
        QVERIFY(requests.open(QIODevice::ReadOnly));
        QCOMPARE(requests.readAll().count(" page=0000 reg=0 length="), 4 * 3);
        QCOMPARE(answerer.messagesAnswered, 4);
        QVERIFY(idle(*window));
    }

    void remoteBlockShownAsLocalOnes()
    {
        DialogAnswerer answerer;
        auto window = startOn({}, answerer);
        window->activePlot()->showView(frmPlot::TimeDomain); // the one an earlier case left may be another
        QAction *remote = window->action(QStringLiteral("mnuToolsRemoteControl"));
        QVERIFY(remote && !remote->isChecked());
        auto *status = window->findChild<QLabel *>(QStringLiteral("lblRemoteControl"));
        QVERIFY(status->isHidden());
        remote->trigger();
        QCOMPARE(status->text(), QStringLiteral("Remote control on 127.0.0.1:5025: no client"));

        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, 5025);
        QVERIFY(client.waitForConnected(5000));
        const QString peer = QStringLiteral("127.0.0.1:%1").arg(client.localPort());
        QTRY_COMPARE(status->text(), QStringLiteral("Remote control on 127.0.0.1:5025: client %1").arg(peer));
        client.write("CONF:SAMP 512;INIT;*OPC?\n");
        // The window's own Acquire meets a busy board meanwhile.
        QTRY_VERIFY_WITH_TIMEOUT(!window->panel()->cmdAcquire()->isEnabled(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(client.canReadLine(), 15000);
        QCOMPARE(client.readLine(), QByteArray("1\n"));
        frmPlot *plot = window->activePlot();
        QCOMPARE(plot->numPoints(), 512);
        const QList<std::int32_t> board = dumpedBlock();
        QTRY_COMPARE(plot->Maximum(), double(*std::max_element(board.begin(), board.end())));
        QTRY_VERIFY(idle(*window));
        client.disconnectFromHost();
        QTRY_COMPARE(status->text(), QStringLiteral("Remote control on 127.0.0.1:5025: no client"));
        remote->trigger();
        QVERIFY(status->isHidden());
    }
};

QTEST_MAIN(tst_main_acquisition)
#include "tst_main_acquisition.moc"
