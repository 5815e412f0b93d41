// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated board's line faults as the host sees them on the wire: a bare
// pseudo-terminal and the packet codec, nothing of the link or the driver.
#include "SimulatedBoard.h"
#include "csr232packet.h"
#include "packetAssembler.h"

#include <QElapsedTimer>
#include <QtEndian>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The host's end of the line, raw, read packet by packet.
class HostEnd
{
public:
    explicit HostEnd(const QString &device)
        : m_fd(::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY))
    {
        termios raw {};
        tcgetattr(m_fd, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_fd, TCSANOW, &raw);
    }
    ~HostEnd() { ::close(m_fd); }
    HostEnd(const HostEnd &) = delete;
    HostEnd &operator=(const HostEnd &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    void send(const QByteArray &bytes) { QCOMPARE(::write(m_fd, bytes.constData(), size_t(bytes.size())), bytes.size()); }

    // The next good packet within timeoutMs; null on silence or when the port hung up.
    PacketRef next(int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (m_packets.isEmpty() && !hungUp) {
            pollfd waiting {m_fd, POLLIN, 0};
            const int left = timeoutMs - int(clock.elapsed());
            if (left <= 0 || ::poll(&waiting, 1, left) <= 0)
                return nullptr;
            char buffer[512];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                hungUp = true; // EIO once the other side of the terminal is gone
            else
                m_assembler.feed(QByteArrayView(buffer, n), m_packets);
        }
        return m_packets.isEmpty() ? nullptr : m_packets.takeFirst();
    }

    bool hungUp = false;

private:
    int m_fd;
    packetAssembler m_assembler;
    QList<PacketRef> m_packets;
};

QByteArray request(int packetType, quint16 page, quint32 reg, const QByteArray &data = {})
{
    QByteArray address(8, '\0');
    qToBigEndian<quint16>(1, address.data());
    qToBigEndian<quint16>(page, address.data() + 2);
    qToBigEndian<quint32>(reg, address.data() + 4);
    csr232packet packet;
    packet.setPacketType(packetType);
    packet.setAddressBytes(address);
    if (packetType == 2) {
        packet.setVarLength(6);
    } else {
        packet.setOperandSize(data.size() == 1 ? 0 : 1);
        packet.setPayloadSize(int(data.size()));
        packet.setPayload(data);
    }
    packet.buildPacket();
    return packet.dataBuffer();
}

const QByteArray BlockRead = request(2, 0x0000, 0);

int typeOf(const PacketRef &packet)
{
    return packet ? packet->packetType() : -1;
}

} // namespace

class tst_kz7305sim : public QObject
{
    Q_OBJECT

private slots:
    void blockReadFaults_data();
    void blockReadFaults();
    void closedLineHangsUpTheHost();
    void earlyCompletionPrecedesTheStartAcknowledgement();
};

void tst_kz7305sim::blockReadFaults_data()
{
    // Block reads 1 and 2 are sent; the packet types the host receives, in order.
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("quietMs"); // before the first answer, at least
    QTest::newRow("clean") << QStringList{} << QList<int>{6, 6} << 0;
    QTest::newRow("dropped") << QStringList{"--drop-every", "2"} << QList<int>{6} << 0;
    QTest::newRow("stray notification") << QStringList{"--stray-every", "2"} << QList<int>{6, 9} << 0;
    QTest::newRow("extra status") << QStringList{"--extra-status-every", "2"} << QList<int>{6, 6, 8} << 0;
    QTest::newRow("late") << QStringList{"--late-every", "1", "--late-ms", "600"} << QList<int>{6, 6} << 550;
    QTest::newRow("late and extra status") << QStringList{"--late-every", "2", "--late-ms", "300", "--extra-status-every", "2"}
                                            << QList<int>{6, 6, 8} << 0;
}

void tst_kz7305sim::blockReadFaults()
{
    QFETCH(QStringList, options);
    QFETCH(QList<int>, answers);
    QFETCH(int, quietMs);
    SimulatedBoard board;
    HostEnd host(board.start(options));
    QVERIFY(host.isOpen());
    QElapsedTimer clock;
    clock.start();
    host.send(BlockRead);
    host.send(BlockRead);
    QList<int> received;
    while (const PacketRef packet = host.next(1500)) {
        if (received.isEmpty())
            QVERIFY(clock.elapsed() >= quietMs);
        received.append(packet->packetType());
        if (packet->packetType() == 9)
            QCOMPARE(packet->dataBufferByte(0), quint8(1)); // a completion, answering nothing
    }
    QCOMPARE(received, answers);
}

void tst_kz7305sim::closedLineHangsUpTheHost()
{
    SimulatedBoard board;
    HostEnd host(board.start({"--close-after", "2"}));
    QVERIFY(host.isOpen());
    host.send(BlockRead);
    QCOMPARE(typeOf(host.next(3000)), 6);
    host.send(BlockRead);
    QCOMPARE(typeOf(host.next(3000)), -1);
    QVERIFY(host.hungUp);
}

void tst_kz7305sim::earlyCompletionPrecedesTheStartAcknowledgement()
{
    SimulatedBoard board;
    HostEnd host(board.start({"--early-completion", "--progress-ms", "20"}));
    QVERIFY(host.isOpen());
    host.send(request(3, 0xFFFF, 4, QByteArray::fromHex("00001000"))); // 4096 samples at 20833 Hz: about 0.2 s
    QCOMPARE(typeOf(host.next(3000)), 8);
    host.send(request(3, 0xFFFF, 15, QByteArray(1, '\x03')));
    QList<int> kinds;
    PacketRef packet;
    while ((packet = host.next(3000)) && packet->packetType() == 9)
        kinds.append(packet->dataBufferByte(0));
    QCOMPARE(typeOf(packet), 8); // the acknowledgement, last
    QVERIFY(kinds.size() > 1);
    QCOMPARE(kinds.last(), 1);
    QVERIFY(kinds.count(2) == kinds.size() - 1); // progress before the completion
}

QTEST_GUILESS_MAIN(tst_kz7305sim)
#include "tst_kz7305sim.moc"
