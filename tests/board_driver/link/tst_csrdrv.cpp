// SPDX-License-Identifier: GPL-3.0-or-later
// The serial link against the simulated board on a pseudo-terminal.
#include "LinkFixture.h"
#include "SimulatedBoard.h"
#include "csrdrv.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>

class tst_csrdrv : public QObject
{
    Q_OBJECT

private slots:
    void registerRequestsOnTheWire();
    void blockReadLengths();
    void blockingReadsCheckTheAnswer();
    void blockingWaitTakesItsOwnAnswer();
    void queuedPacketsRaiseEventsInOrder();
    void packetsOfOneReadAreAllDelivered();
    void onePacketOnTheLineAtATime();
    void timedOutWaitRestoresEventDelivery();
    void resynchronisesAfterCorruptedAnswer();
    void resynchronisesAfterStalledAnswer();
    void findPortsSkipsBusyPorts();
    void portScanAndPortChangeForgetQueuedAnswers();
    void portTableFromEnvironment();

private:
    // A link opened on a fresh simulated board started with the options.
    std::unique_ptr<csrdrv> openLink(const QStringList &options = {});
    QByteArray sentBytes(const QSignalSpy &spy) const;

    SimulatedBoard m_board;
    QTemporaryDir m_dir;
};

std::unique_ptr<csrdrv> tst_csrdrv::openLink(const QStringList &options)
{
    const QString path = m_board.start(options);
    if (path.isEmpty())
        qFatal("%s", qPrintable(m_board.errorString()));
    auto link = std::make_unique<csrdrv>();
    link->setPortTable(portTable({path}));
    link->setPortNumber(1);
    if (!link->isOpen())
        qFatal("cannot open %s", qPrintable(path));
    return link;
}

QByteArray tst_csrdrv::sentBytes(const QSignalSpy &spy) const
{
    QByteArray all;
    for (const QList<QVariant> &call : spy)
        all += call.at(0).toByteArray();
    return all;
}

void tst_csrdrv::registerRequestsOnTheWire()
{
    const QString log = m_dir.filePath(QStringLiteral("requests.log"));
    auto link = openLink({QStringLiteral("--log"), log});
    QSignalSpy sent(link.get(), &csrdrv::bytesSent);

    QVERIFY(link->writeByteBlocking(5, 0xAA));
    QCOMPARE(sent.at(0).at(0).toByteArray(), QByteArray::fromHex("600000000000000005AAA042"));

    link->setNodeID(1);
    link->setPage(0xFFFF);
    QVERIFY(link->writeQuadletBlocking(4, 16909060));
    QCOMPARE(sent.at(1).at(0).toByteArray().left(1), QByteArray::fromHex("61"));
    QCOMPARE(sent.at(1).at(0).toByteArray().mid(1, 8), QByteArray::fromHex("0001FFFF00000004"));
    QCOMPARE(sent.at(1).at(0).toByteArray().mid(9, 4), QByteArray::fromHex("01020304"));
    QVERIFY(link->writeFloatBlocking(20, 1.0f));
    QCOMPARE(sent.at(2).at(0).toByteArray().mid(9, 4), QByteArray::fromHex("3F800000"));

    link->setNodeID(0x1234);
    link->setPage(0);
    link->readByte(0);
    QCOMPARE(sent.at(3).at(0).toByteArray().left(9), QByteArray::fromHex("401234000000000000"));
    QTRY_COMPARE(link->packetsWaiting(), quint16(1));

    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, QStringList({QStringLiteral("write node=0000 page=0000 reg=5 data=AA"),
                                 QStringLiteral("write node=0001 page=FFFF reg=4 data=01020304"),
                                 QStringLiteral("write node=0001 page=FFFF reg=20 data=3F800000"),
                                 QStringLiteral("read node=1234 page=0000 reg=0 length=1")}));
}

void tst_csrdrv::blockReadLengths()
{
    auto link = openLink();
    QSignalSpy sent(link.get(), &csrdrv::bytesSent);
    link->setAddress(77);
    link->readBlock(10, 0);
    link->readBlock(10, 257);
    QCOMPARE(sent.count(), 0);
    link->readBlock(3, 256);
    QCOMPARE(sent.count(), 1);
    const QByteArray request = sent.at(0).at(0).toByteArray();
    QCOMPARE(request.left(1), QByteArray::fromHex("48"));
    QCOMPARE(request.mid(5, 4), QByteArray::fromHex("00000003"));
    QCOMPARE(request.mid(9, 1), QByteArray::fromHex("FF"));
    QTRY_COMPARE(link->packetsWaiting(), quint16(1));
    QCOMPARE(link->getPacket()->varLength(), quint16(256));
}

void tst_csrdrv::blockingReadsCheckTheAnswer()
{
    auto link = openLink();
    QSignalSpy received(link.get(), &csrdrv::bytesReceived);
    link->setNodeID(1);
    link->setPage(0xFFFF);
    QVERIFY(link->writeFloatBlocking(20, 3.1415927f));
    float value = 0;
    QVERIFY(link->readFloatBlocking(20, value));
    QCOMPARE(value, 3.1415927f);
    QVERIFY(received.last().at(0).toByteArray().contains(QByteArray::fromHex("40490FDB")));

    QVERIFY(link->writeByteBlocking(13, 0x20));
    quint8 byte = 0;
    QVERIFY(link->readByteBlocking(13, byte));
    QCOMPARE(byte, quint8(0x20));
}

void tst_csrdrv::blockingWaitTakesItsOwnAnswer()
{
    auto link = openLink({QStringLiteral("--progress-ms"), QStringLiteral("20")});
    RecordingSink sink;
    link->setEventHandler(&sink);
    link->setNodeID(1);
    link->setPage(0xFFFF);

    // The acknowledgement of an earlier write is not the answer of a read.
    QSignalSpy responses(link.get(), &csrdrv::responseReceived);
    link->writeByte(13, 0x10);
    quint8 byte = 0x5A;
    QVERIFY(link->readByteBlocking(13, byte));
    QCOMPARE(byte, quint8(0x10));
    // The write's acknowledgement reaches its taker once the wait is over.
    QTRY_COMPARE(responses.count(), 1);
    QCOMPARE(link->takeAnswer()->packetType(), 8);

    // Progress notifications arriving during a wait are kept for later.
    QVERIFY(link->writeQuadletBlocking(4, 20833));
    QVERIFY(link->writeByteBlocking(15, 3));
    QTRY_VERIFY(link->packetsWaiting() > 0);
    float value = 0;
    QVERIFY(link->readFloatBlocking(20, value));
    QCOMPARE(link->lastReceivedPacket()->packetType(), 6);
    QVERIFY(link->packetsWaiting() > 0);
    QCOMPARE(link->takeNotification()->packetType(), 9);
    QCOMPARE(sink.events.first(), EVENT_COMM_START);
    QVERIFY(sink.count(EVENT_COMM_FINISH) == sink.count(EVENT_COMM_START));
    QCOMPARE(sink.count(EVENT_COMM_ERROR), 0);
}

void tst_csrdrv::queuedPacketsRaiseEventsInOrder()
{
    auto link = openLink();
    QSignalSpy responses(link.get(), &csrdrv::responseReceived);
    link->setNodeID(1);
    link->setPage(0xFFFF);
    QVERIFY(link->writeByteBlocking(13, 0x30));
    QVERIFY(link->writeByteBlocking(14, 0x03));
    QCOMPARE(responses.count(), 0); // blocking waits take their answers silently
    link->readByte(14);
    link->readByte(13);
    QTRY_COMPARE(link->packetsWaiting(), quint16(2));
    QCOMPARE(responses.count(), 2);
    QCOMPARE(link->getPacket()->dataBufferByte(0), quint8(0x03));
    QCOMPARE(link->getPacket()->dataBufferByte(0), quint8(0x30));
    QVERIFY(!link->getPacket());
    QCOMPARE(link->packetsWaiting(), quint16(0));
}

void tst_csrdrv::packetsOfOneReadAreAllDelivered()
{
    // An acquisition of a few milliseconds sends its notifications while the
    // test does not look; one read then carries them all.
    auto link = openLink({QStringLiteral("--progress-ms"), QStringLiteral("1")});
    link->setNodeID(1);
    link->setPage(0xFFFF);
    QVERIFY(link->writeQuadletBlocking(4, 2000)); // about 100 ms
    // Listening before the start: on a loaded machine the first notification
    // may arrive while the start write still waits for its answer.
    QSignalSpy notifications(link.get(), &csrdrv::notificationReceived);
    QVERIFY(link->writeByteBlocking(15, 3));
    QThread::msleep(500);
    // Usually one read; a loaded machine may split it, which changes nothing below.
    QTRY_VERIFY2(notifications.count() >= 2, qPrintable(QStringLiteral("%1 notifications, %2 waiting").arg(notifications.count()).arg(link->packetsWaiting())));
    QCOMPARE(link->packetsWaiting(), quint16(notifications.count()));
    PacketRef last;
    while (PacketRef p = link->getPacket())
        last = p;
    QCOMPARE(last->dataBufferByte(0), quint8(1)); // completion comes last
}

void tst_csrdrv::onePacketOnTheLineAtATime()
{
    auto link = openLink();
    QSignalSpy sent(link.get(), &csrdrv::bytesSent);
    link->readByte(1);
    link->readByte(2);
    link->readByte(3);
    QCOMPARE(sent.count(), 1);
    QTRY_COMPARE(sent.count(), 3);
    QTRY_COMPARE(link->packetsWaiting(), quint16(3));
}

void tst_csrdrv::timedOutWaitRestoresEventDelivery()
{
    auto link = openLink({QStringLiteral("--silent")});
    RecordingSink sink;
    link->setEventHandler(&sink);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!link->writeByteBlocking(1, 1));
    // Three sends, each given the full time-out.
    QVERIFY2(clock.elapsed() >= csrdrv::MaxAttempts * csrdrv::ResponseTimeoutMs - 100, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(sink.events.first(), EVENT_COMM_START);
    QCOMPARE(sink.events.last(), EVENT_COMM_ERROR);
    QVERIFY(sink.count(EVENT_COMM_IDLE) >= 1);
    // The wait slept on events: a handful of turns, not a spinning loop.
    QVERIFY2(sink.count(EVENT_COMM_IDLE) < 200, qPrintable(QString::number(sink.count(EVENT_COMM_IDLE))));

    QSignalSpy timeouts(link.get(), &csrdrv::responseTimeout);
    link->readByte(1);
    QVERIFY(timeouts.wait(csrdrv::LongestExchangeMs + 2000));
}

void tst_csrdrv::resynchronisesAfterCorruptedAnswer()
{
    auto link = openLink({QStringLiteral("--corrupt-every"), QStringLiteral("2"), QStringLiteral("--seed"), QStringLiteral("7")});
    QVERIFY(link->writeByteBlocking(1, 1));
    QVERIFY(link->writeByteBlocking(1, 2)); // its acknowledgement is damaged: sent again
    QCOMPARE(link->droppedPackets(), 1u);
    QCOMPARE(link->resends(), 1u);
    QVERIFY(link->droppedBytes() >= 1);
    QCOMPARE(link->lastReceivedPacket()->packetType(), 8);
}

void tst_csrdrv::resynchronisesAfterStalledAnswer()
{
    auto link = openLink({QStringLiteral("--stall-every"), QStringLiteral("2")});
    QVERIFY(link->writeByteBlocking(1, 1));
    QVERIFY(link->writeByteBlocking(1, 2)); // half an acknowledgement, then silence: sent again
    QCOMPARE(link->resends(), 1u);
    QCOMPARE(link->droppedBytes(), 2u);
    QVERIFY(link->isTransmitEnabled());
    QCOMPARE(link->lastReceivedPacket()->packetType(), 8);
}

void tst_csrdrv::portScanAndPortChangeForgetQueuedAnswers()
{
    // An answer of the old port must never be taken for one of the new port.
    for (const bool scan : {true, false}) {
        auto link = openLink();
        link->setNodeID(1);
        link->setPage(0xFFFF);
        link->readByte(14);
        QTRY_COMPARE(link->packetsWaiting(), quint16(1));
        if (scan)
            link->findPorts();
        else
            link->setPortNumber(2); // not in the table: the port closes
        QCOMPARE(link->packetsWaiting(), quint16(0));
        QVERIFY(!link->getPacket());
    }
}

void tst_csrdrv::findPortsSkipsBusyPorts()
{
    SimulatedBoard second;
    const QString busyPath = m_board.start();
    const QString freePath = second.start();
    QVERIFY(!busyPath.isEmpty() && !freePath.isEmpty());
    QSerialPort holder(busyPath);
    QVERIFY(holder.open(QIODevice::ReadWrite));

    csrdrv link;
    link.setPortTable(portTable({QStringLiteral("/dev/kz-no-such-port"), busyPath, freePath}));
    link.setPortNumber(3);
    QVERIFY(link.isOpen());
    link.findPorts();
    QCOMPARE(link.portlist(), QList<quint16>({3}));
    QVERIFY(!link.isOpen());
    link.setPortNumber(3); // the last probed number still opens
    QVERIFY(link.isOpen());
    link.setPortNumber(3);
    QVERIFY(link.isOpen());

    QSerialPort secondHolder(freePath);
    link.setPortNumber(1);
    QVERIFY(secondHolder.open(QIODevice::ReadWrite));
    link.findPorts();
    QVERIFY(link.portlist().isEmpty());
    QVERIFY(!link.isOpen());
}

void tst_csrdrv::portTableFromEnvironment()
{
    qputenv(portTable::EnvironmentVariable, "/dev/kz-a::/dev/kz-b:/dev/kz-a");
    const portTable table = portTable::fromSystem();
    qunsetenv(portTable::EnvironmentVariable);
    QCOMPARE(table.devicePath(1), QStringLiteral("/dev/kz-a"));
    QCOMPARE(table.devicePath(2), QStringLiteral("/dev/kz-b"));
    QVERIFY(table.count() <= portTable::MaxPorts);
    QVERIFY(table.devicePath(0).isEmpty());
    QVERIFY(table.devicePath(17).isEmpty());
    QCOMPARE(portTable::portName(3), QStringLiteral("COM3"));
}

QTEST_GUILESS_MAIN(tst_csrdrv)
#include "tst_csrdrv.moc"
