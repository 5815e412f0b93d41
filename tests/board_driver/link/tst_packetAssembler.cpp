// SPDX-License-Identifier: GPL-3.0-or-later
#include "packetAssembler.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray notification(quint8 kind, quint16 count)
{
    csr232packet p;
    p.setPacketType(9);
    p.setVarLength(5);
    p.setPayload(QByteArray::fromHex("0000000000"));
    p.setPayloadSize(5);
    p.setPayloadByte(0, kind);
    p.setPayloadByte(3, quint8(count >> 8));
    p.setPayloadByte(4, quint8(count));
    p.buildPacket();
    return p.dataBuffer();
}

QByteArray readResponse(int n, quint8 seed)
{
    csr232packet p;
    p.setPacketType(6);
    p.setVarLength(n);
    p.setPayloadSize(n);
    for (int i = 0; i < n; ++i)
        p.setPayloadByte(i, quint8(seed + i));
    p.buildPacket();
    return p.dataBuffer();
}

QList<quint16> counts(const QList<PacketRef> &packets)
{
    QList<quint16> result;
    for (const PacketRef &p : packets)
        result.append(quint16(p->dataBufferByte(3) << 8 | p->dataBufferByte(4)));
    return result;
}

} // namespace

class tst_packetAssembler : public QObject
{
    Q_OBJECT

private slots:
    void twoPacketsInOneRead();
    void packetSplitAcrossReads();
    void resynchronisesAfterCorruptedPacket();
    void resynchronisesAfterJunk();
    void stalledPacketDroppedOnFlush();
    void flushRecoversPacketsSwallowedByFalseHeader();
    void recoversEveryPacketFromNoisyStream();
};

void tst_packetAssembler::twoPacketsInOneRead()
{
    packetAssembler a;
    QList<PacketRef> out;
    a.feed(notification(2, 100) + notification(1, 256), out);
    QCOMPARE(counts(out), QList<quint16>({100, 256}));
    QVERIFY(!a.isReceiving());
    QCOMPARE(a.droppedBytes(), 0u);
}

void tst_packetAssembler::packetSplitAcrossReads()
{
    packetAssembler a;
    QList<PacketRef> out;
    const QByteArray wire = readResponse(255, 9);
    a.feed(wire.left(100), out);
    QVERIFY(out.isEmpty());
    QVERIFY(a.isReceiving());
    QCOMPARE(a.receivePacket().state(), 2);
    a.feed(wire.mid(100), out);
    QCOMPARE(out.size(), 1);
    QCOMPARE(out[0]->varLength(), quint16(255));
    QCOMPARE(out[0]->dataBufferByte(254), quint8(9 + 254));
}

void tst_packetAssembler::resynchronisesAfterCorruptedPacket()
{
    packetAssembler a;
    QList<PacketRef> out;
    QByteArray bad = notification(2, 7);
    bad[4] = char(bad[4] ^ 0x10);
    a.feed(bad + notification(2, 8) + notification(1, 9), out);
    QCOMPARE(counts(out), QList<quint16>({8, 9}));
    QCOMPARE(a.droppedBytes(), quint64(bad.size()));
    QCOMPARE(a.droppedPackets(), 1u);
}

void tst_packetAssembler::resynchronisesAfterJunk()
{
    packetAssembler a;
    QList<PacketRef> out;
    // 0x45 is a read request with an unassigned size code; 0xC5 likewise a response.
    a.feed(QByteArray::fromHex("45C545") + notification(1, 3), out);
    QCOMPARE(counts(out), QList<quint16>({3}));
    QCOMPARE(a.droppedBytes(), 3u);
}

void tst_packetAssembler::stalledPacketDroppedOnFlush()
{
    packetAssembler a;
    QList<PacketRef> out;
    a.feed(readResponse(30, 1).left(12), out);
    QVERIFY(a.isReceiving());
    a.flush(out);
    QVERIFY(out.isEmpty());
    QVERIFY(!a.isReceiving());
    QCOMPARE(a.droppedBytes(), 12u);
    // The next packet starts clean instead of continuing the stalled one.
    a.feed(notification(2, 5), out);
    QCOMPARE(counts(out), QList<quint16>({5}));
}

void tst_packetAssembler::flushRecoversPacketsSwallowedByFalseHeader()
{
    // A stalled header announcing 256 bytes swallows a complete packet that
    // follows it; when the line goes quiet, that packet is still delivered.
    packetAssembler a;
    QList<PacketRef> out;
    a.feed(QByteArray::fromHex("C8FF") + notification(1, 42), out);
    QVERIFY(out.isEmpty());
    a.flush(out);
    QCOMPARE(counts(out), QList<quint16>({42}));
    QCOMPARE(a.droppedBytes(), 2u);
}

void tst_packetAssembler::recoversEveryPacketFromNoisyStream()
{
    QRandomGenerator random(1234);
    QByteArray stream;
    QList<quint16> sent;
    for (quint16 i = 0; i < 300; ++i) {
        const int junk = random.bounded(4);
        for (int j = 0; j < junk; ++j)
            stream.append(char(random.bounded(256)));
        if (random.bounded(5) == 0) {
            QByteArray damaged = readResponse(1 + random.bounded(60), quint8(i));
            damaged[random.bounded(int(damaged.size()))] ^= char(1 << random.bounded(8));
            stream.append(damaged);
        }
        stream.append(notification(2, i));
        sent.append(i);
    }
    packetAssembler a;
    QList<PacketRef> out;
    for (qsizetype at = 0; at < stream.size(); at += 37)
        a.feed(QByteArrayView(stream).sliced(at, qMin<qsizetype>(37, stream.size() - at)), out);
    a.flush(out);
    QCOMPARE(counts(out), sent);
    QVERIFY(a.droppedPackets() > 0);
}

QTEST_APPLESS_MAIN(tst_packetAssembler)
#include "tst_packetAssembler.moc"
