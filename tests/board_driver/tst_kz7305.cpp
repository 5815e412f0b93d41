// SPDX-License-Identifier: GPL-3.0-or-later
// The board driver against the simulated board on a pseudo-terminal.
#include "DriverEventLog.h"
#include "NuvarDriverError.h"
#include "SimulatedBoard.h"
#include "csrdrv.h"
#include "kz7305.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

class tst_kz7305 : public QObject
{
    Q_OBJECT

private slots:
    void configureWritesRegistersInOrder();
    void singleSampleConfiguration();
    void acquisitionAndReceptionInBlocks();
    void samplesAssembledFromBoardBytes();
    void sampleRateKeptOnlyWhenAccepted();
    void silentBoard();
    void droppedBlockRequestAskedAgain();
    void getDataNeedsRoomForTheBlock();
    void settingsAndScaling();

private:
    // A driver bound to log and opened on a fresh simulated board.
    std::unique_ptr<kz7305> openDriver(DriverEventLog &log, const QStringList &options = {});
    // Configures, starts and waits for the completion notification; the
    // reception is started from inside it, as the program does.
    void acquire(kz7305 &driver, DriverEventLog &log, std::int32_t samples);
    QStringList requestLog() const;
    QList<std::int32_t> dumpedBlock() const;

    SimulatedBoard m_board;
    QTemporaryDir m_dir;
};

std::unique_ptr<kz7305> tst_kz7305::openDriver(DriverEventLog &log, const QStringList &options)
{
    const QString path = m_board.start(QStringList{QStringLiteral("--log"), m_dir.filePath(QStringLiteral("requests.log")),
                                                   QStringLiteral("--dump"), m_dir.filePath(QStringLiteral("block.txt"))}
                                       + options);
    if (path.isEmpty())
        qFatal("%s", qPrintable(m_board.errorString()));
    auto driver = std::make_unique<kz7305>();
    driver->theCsrDrv()->setPortTable(portTable({path}));
    driver->DriverOpen(log);
    driver->setPortNumber(1);
    if (!driver->isPortOpen())
        qFatal("cannot open %s", qPrintable(path));
    return driver;
}

void tst_kz7305::acquire(kz7305 &driver, DriverEventLog &log, std::int32_t samples)
{
    log.onEvent = [&driver](EventEnum evType) {
        if (evType == EVENT_ACQ_FINISH)
            driver.StartDataReceive(0, driver.Samples());
    };
    driver.setSamples(samples);
    driver.setTriggerType(TRIGGER_NONE);
    driver.Configure();
    QCOMPARE_NE(driver.Status(), STATUS_ERROR);
    driver.StartAcquisition();
    QCOMPARE(driver.Status(), STATUS_TRIGGERED);
    QTRY_COMPARE_WITH_TIMEOUT(driver.Status(), STATUS_DATA_AVAILABLE, 10000);
}

QStringList tst_kz7305::requestLog() const
{
    QFile file(m_dir.filePath(QStringLiteral("requests.log")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QList<std::int32_t> tst_kz7305::dumpedBlock() const
{
    return SimulatedBoard::readDump(m_dir.filePath(QStringLiteral("block.txt")));
}

static QString floatHex(float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return QStringLiteral("%1").arg(bits, 8, 16, QLatin1Char('0')).toUpper();
}

void tst_kz7305::configureWritesRegistersInOrder()
{
    DriverEventLog log;
    auto driver = openDriver(log);
    driver->setSamples(256);
    driver->setAverages(2);
    driver->setChannel(4);
    driver->Configure();
    QCOMPARE(driver->Status(), STATUS_IDLE);
    const QString prefix = QStringLiteral("write node=0001 page=FFFF ");
    QCOMPARE(requestLog(), (QStringList{prefix + QStringLiteral("reg=0 data=00000000"),
                                       prefix + QStringLiteral("reg=4 data=00000100"),
                                       prefix + QStringLiteral("reg=16 data=00000004"),
                                       prefix + QStringLiteral("reg=24 data=00000001"),
                                       prefix + QStringLiteral("reg=13 data=20"),
                                       prefix + QStringLiteral("reg=14 data=03"),
                                       prefix + QStringLiteral("reg=20 data=") + floatHex(20833.0f)}));
    QVERIFY(log.events.isEmpty()); // only the link's communication events
}

void tst_kz7305::singleSampleConfiguration()
{
    DriverEventLog log;
    auto driver = openDriver(log);
    driver->setSamples(1);
    driver->Configure();
    const QStringList requests = requestLog();
    QCOMPARE(requests.size(), 6);
    QVERIFY(!requests.join(QLatin1Char('\n')).contains(QLatin1String("reg=24 ")));
    QVERIFY(requests.at(4).endsWith(QLatin1String("reg=14 data=01")));
}

void tst_kz7305::acquisitionAndReceptionInBlocks()
{
    DriverEventLog log;
    auto driver = openDriver(log, {QStringLiteral("--progress-ms"), QStringLiteral("20")});
    QList<std::int32_t> progress;
    QList<std::int32_t> received;
    QList<StatusEnum> statusAtFinish;
    log.onEvent = [&](EventEnum evType) {
        if (evType == EVENT_ACQ_CONT)
            progress.append(driver->CurrentSample());
        if (evType == EVENT_RX_CONT)
            received.append(driver->SamplesReceived());
        if (evType == EVENT_ACQ_FINISH) {
            statusAtFinish.append(driver->Status());
            QCOMPARE(driver->CurrentSample(), 256);
            driver->StartDataReceive(0, driver->Samples());
        }
    };
    driver->setSampleRate(1000.0); // 256 ms on the board
    QCOMPARE(driver->SampleRate(), 1000.0);
    driver->setSamples(256);
    driver->Configure();
    const qsizetype configured = requestLog().size();
    driver->StartAcquisition();
    QCOMPARE(log.events.value(0), EVENT_ACQ_START);
    QCOMPARE(driver->Status(), STATUS_TRIGGERED);
    QTRY_COMPARE_WITH_TIMEOUT(driver->Status(), STATUS_DATA_AVAILABLE, 10000);

    QVERIFY2(!progress.isEmpty(), "no progress reported");
    QVERIFY(std::is_sorted(progress.begin(), progress.end()));
    QVERIFY(progress.last() <= 256);
    QCOMPARE(statusAtFinish, QList<StatusEnum>{STATUS_TRIGGERED});
    QList<EventEnum> reception = log.events.mid(log.events.indexOf(EVENT_ACQ_FINISH) + 1);
    QCOMPARE(reception, (QList<EventEnum>{EVENT_RX_START, EVENT_RX_CONT, EVENT_RX_CONT, EVENT_RX_CONT, EVENT_RX_FINISH}));
    // Neighbouring reads ask for different lengths: 85 samples, then one
    // fewer each time, and the rest whole.
    QCOMPARE(received, (QList<std::int32_t>{85, 85 + 84, 85 + 84 + 83}));
    QCOMPARE(driver->SamplesReceived(), 256);

    const QString read = QStringLiteral("read node=0001 page=0000 ");
    QCOMPARE(requestLog().mid(configured + 1),
             (QStringList{read + QStringLiteral("reg=0 length=255"), read + QStringLiteral("reg=255 length=252"),
                          read + QStringLiteral("reg=507 length=249"), read + QStringLiteral("reg=756 length=12")}));

    std::vector<std::int32_t> data(256);
    driver->GetData(data);
    QCOMPARE(QList<std::int32_t>(data.begin(), data.end()), dumpedBlock());
}

void tst_kz7305::samplesAssembledFromBoardBytes()
{
    // Each input holds a DC level that gives one code: full scale up and down
    // (clipped), and one LSB (4.096 V / 2^23) either side of zero.
    DriverEventLog log;
    auto driver = openDriver(log, {QStringLiteral("--ch1"), QStringLiteral("amp=off,dc=5,noise=0"),
                                   QStringLiteral("--ch2"), QStringLiteral("amp=off,dc=-5,noise=0"),
                                   QStringLiteral("--ch3"), QStringLiteral("amp=off,dc=-0.00000048828125,noise=0"),
                                   QStringLiteral("--ch4"), QStringLiteral("amp=off,dc=0.00000048828125,noise=0")});
    const QList<std::pair<std::int16_t, std::int32_t>> cases = {
        {1, 8388607}, {2, -8388608}, {4, -1}, {8, 1}};
    for (const auto &[channel, code] : cases) {
        driver->setChannel(channel);
        acquire(*driver, log, 8);
        std::vector<std::int32_t> data(8);
        driver->GetData(data);
        QCOMPARE(QList<std::int32_t>(data.begin(), data.end()), QList<std::int32_t>(8, code));
    }
}

void tst_kz7305::sampleRateKeptOnlyWhenAccepted()
{
    DriverEventLog log;
    auto driver = openDriver(log);
    QCOMPARE(driver->SampleRate(), 20833.0);
    driver->setSampleRate(1000.0);
    QCOMPARE(driver->SampleRate(), 1000.0);
    QVERIFY(requestLog().last().endsWith(QStringLiteral("reg=20 data=") + floatHex(1000.0f)));
}

void tst_kz7305::silentBoard()
{
    DriverEventLog log;
    auto driver = openDriver(log, {QStringLiteral("--silent")});
    driver->setSamples(256);
    QSignalSpy sent(driver->theCsrDrv(), &csrdrv::bytesSent);
    driver->Configure();
    QCOMPARE(driver->Status(), STATUS_ERROR);
    QCOMPARE(sent.size(), csrdrv::MaxAttempts); // the first write, sent again; the rest skipped
    QCOMPARE(driver->LastError(), QStringLiteral("the board did not answer"));

    driver->StartAcquisition();
    QCOMPARE(log.events, QList<EventEnum>{EVENT_ACQ_ERROR});
    QCOMPARE(driver->Status(), STATUS_ERROR);
}

void tst_kz7305::droppedBlockRequestAskedAgain()
{
    // The board ignores every 6th block read: the second reception loses its
    // 2nd block, which is asked for again from where it was.
    DriverEventLog log;
    auto driver = openDriver(log, {QStringLiteral("--drop-every"), QStringLiteral("6")});
    acquire(*driver, log, 256);
    const QList<std::int32_t> block = dumpedBlock();

    QList<std::int32_t> received;
    log.events.clear();
    log.onEvent = [&](EventEnum evType) {
        if (evType == EVENT_RX_CONT)
            received.append(driver->SamplesReceived());
    };
    driver->StartDataReceive(0, 256);
    QTRY_COMPARE_WITH_TIMEOUT(log.count(EVENT_RX_FINISH), 1, 20000);
    // Every block once, in order: none from sample 0 again.
    QVERIFY(received.size() >= 3 && received.last() < 256);
    QVERIFY(std::adjacent_find(received.begin(), received.end(), std::greater_equal<>()) == received.end());
    QCOMPARE(log.count(EVENT_RX_ERROR), 0);
    QCOMPARE(driver->theCsrDrv()->resends(), 1u);
    std::vector<std::int32_t> data(256);
    driver->GetData(data);
    QCOMPARE(QList<std::int32_t>(data.begin(), data.end()), block);
}

void tst_kz7305::getDataNeedsRoomForTheBlock()
{
    DriverEventLog log;
    auto driver = openDriver(log);
    acquire(*driver, log, 100);
    std::vector<std::int32_t> tooShort(99, 7);
    QVERIFY_THROWS_EXCEPTION(NuvarDriverError, driver->GetData(tooShort));
    QCOMPARE(tooShort, std::vector<std::int32_t>(99, 7));
    std::vector<std::int32_t> larger(101, 7);
    driver->GetData(larger);
    QCOMPARE(larger.back(), 7);
    QCOMPARE(QList<std::int32_t>(larger.begin(), larger.end() - 1), dumpedBlock());
    QVERIFY_THROWS_EXCEPTION(NuvarDriverError, driver->StartDataReceive(0, 0));
}

void tst_kz7305::settingsAndScaling()
{
    kz7305 driver;
    QVERIFY_THROWS_EXCEPTION(NuvarDriverError, driver.setAverages(16));
    QVERIFY_THROWS_EXCEPTION(NuvarDriverError, driver.setAverages(-1));
    QCOMPARE(driver.averages(), 0);
    driver.setAverages(15);
    QCOMPARE(driver.averages(), 15);

    driver.setP_vref(2.5);
    for (std::int16_t channel : {0, 3, 9}) {
        QCOMPARE(driver.MinCode(channel), -8388608);
        QCOMPARE(driver.MaxCode(channel), 8388607);
        QCOMPARE(driver.MinVolt(channel), -2.5);
        QCOMPARE(driver.MaxVolt(channel), 2.5);
    }
    QCOMPARE(driver.Channels(), 1);
    QCOMPARE(driver.ChannelName(7), QString());
    QVERIFY_THROWS_EXCEPTION(NuvarDriverError, driver.ChannelName(8));
    QVERIFY_THROWS_EXCEPTION(NuvarDriverError, driver.ChannelName(-1));

    driver.setTriggerType(TRIGGER_ANALOG_POS_EDGE);
    QCOMPARE(driver.TriggerType(), TRIGGER_NONE);

    // The board name is shared by every driver of the library.
    driver.setBoardName(QStringLiteral("KZ7305EVM"));
    QCOMPARE(kz7305().BoardName(), QStringLiteral("KZ7305EVM"));

    DriverEventLog log;
    driver.setP_vref(1.0);
    driver.DriverOpen(log);
    QCOMPARE(driver.p_vref(), 4.096);
    QCOMPARE(driver.SampleRate(), 20833.0);
    QCOMPARE(driver.CurrentSample(), 0);
}

QTEST_MAIN(tst_kz7305)
#include "tst_kz7305.moc"
