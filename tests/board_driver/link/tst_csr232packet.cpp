// SPDX-License-Identifier: GPL-3.0-or-later
#include "crc16.h"
#include "csr232packet.h"

#include <QtTest>

#include <stdexcept>

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

csr232packet parseAll(const QByteArray &bytes)
{
    csr232packet p;
    for (char c : bytes)
        p.parse(quint8(c));
    return p;
}

QByteArray built(csr232packet &p)
{
    p.buildPacket();
    return p.dataBuffer();
}

} // namespace

class tst_csr232packet : public QObject
{
    Q_OBJECT

private slots:
    void crcCheckValues();
    void builtExamples();
    void headerDecoding_data();
    void headerDecoding();
    void variableReadResponse();
    void roundTrip_data();
    void roundTrip();
    void singleCorruptedByteFails();
    void bytesAfterCompletionIgnored();
    void unassignedSizeCodeRejectedAtHeader();
    void accessorRules();
    void invalidValuesAreErrors();
};

void tst_csr232packet::crcCheckValues()
{
    QCOMPARE(crc16("abc"), quint16(0x9DD6));
    QCOMPARE(crc16(hex("9DD6"), crc16("abc")), quint16(0));
    QCOMPARE(crc16("123456789"), quint16(0x31C3));
}

void tst_csr232packet::builtExamples()
{
    csr232packet read;
    read.setPacketType(2);
    read.setOperandSize(0);
    QCOMPARE(built(read), hex("4000000000000000005FD9"));

    csr232packet status;
    QCOMPARE(built(status), hex("F00000E352"));
    QCOMPARE(status.operandSize(), 8);

    csr232packet other;
    other.setPacketType(7);
    QVERIFY(built(other).isEmpty());
    QCOMPARE(other.packetLength(), 0);
}

void tst_csr232packet::headerDecoding_data()
{
    QTest::addColumn<quint8>("header");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("lockFunction");
    QTest::addColumn<int>("adrEncoding");
    QTest::newRow("E1 notification") << quint8(0xE1) << 9 << 0 << 16 << 0;
    QTest::newRow("E0 other") << quint8(0xE0) << 7 << 0 << 16 << 0;
    QTest::newRow("E5 other") << quint8(0xE5) << 7 << 0 << 16 << 0;
    QTest::newRow("F3 status 3") << quint8(0xF3) << 8 << 3 << 16 << 0;
    QTest::newRow("FB status 0") << quint8(0xFB) << 8 << 0 << 16 << 0;
    QTest::newRow("F0 status 0") << quint8(0xF0) << 8 << 0 << 16 << 0;
    QTest::newRow("03 lock 3") << quint8(0x03) << 0 << 0 << 3 << 0;
    QTest::newRow("17 lock short") << quint8(0x17) << 0 << 0 << 16 << 1;
    QTest::newRow("29 lock64 9") << quint8(0x29) << 1 << 0 << 9 << 0;
    QTest::newRow("2A lock64 10") << quint8(0x2A) << 1 << 0 << 16 << 0;
    QTest::newRow("51 read short") << quint8(0x51) << 2 << 0 << 16 << 1;
    QTest::newRow("68 write var") << quint8(0x68) << 3 << 0 << 16 << 0;
    QTest::newRow("83 lock response") << quint8(0x83) << 4 << 0 << 16 << 0;
    QTest::newRow("A1 lock64 response") << quint8(0xA1) << 5 << 0 << 16 << 0;
    QTest::newRow("C4 read response") << quint8(0xC4) << 6 << 0 << 16 << 0;
}

void tst_csr232packet::headerDecoding()
{
    QFETCH(quint8, header);
    csr232packet p;
    p.parse(header);
    QVERIFY(p.state() == 1 || p.state() == 2);
    QTEST(p.packetType(), "type");
    QTEST(p.statusPacketType(), "status");
    QTEST(p.lockFunction(), "lockFunction");
    QTEST(p.adrEncoding(), "adrEncoding");
}

void tst_csr232packet::variableReadResponse()
{
    QByteArray bytes = hex("C80311223344");
    const quint16 crc = crc16(bytes);
    bytes.append(char(crc >> 8)).append(char(crc & 0xFF));
    const csr232packet p = parseAll(bytes);
    QCOMPARE(p.state(), 3);
    QCOMPARE(p.packetType(), 6);
    QCOMPARE(p.operandSize(), 8);
    QCOMPARE(p.varLength(), quint16(4));
    QCOMPARE(p.packetLength(), 8);
    QCOMPARE(p.dataBufferByte(0), quint8(0x11));
    QCOMPARE(p.dataBufferByte(3), quint8(0x44));
}

void tst_csr232packet::roundTrip_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("size"); // size code, or -N for a variable length N
    QTest::addColumn<int>("adrEncoding");
    QTest::addColumn<int>("expectedLength");
    for (int form : {0, 1}) {
        const int a = form ? 2 : 8;
        const char *f = form ? "short" : "long";
        QTest::addRow("lock32 %s", f) << 0 << 0 << form << a + 11;
        QTest::addRow("lock64 %s", f) << 1 << 0 << form << a + 19;
        for (int code : {0, 1, 2, 3, 4}) {
            const int n = csr232packet::sizeCodeLength(code);
            QTest::addRow("read code %d %s", code, f) << 2 << code << form << a + 3;
            QTest::addRow("write code %d %s", code, f) << 3 << code << form << a + n + 3;
        }
        for (int n : {1, 85, 255, 256}) {
            QTest::addRow("read var %d %s", n, f) << 2 << -n << form << a + 4;
            QTest::addRow("write var %d %s", n, f) << 3 << -n << form << a + n + 4;
        }
    }
    QTest::newRow("lock response 32") << 4 << 0 << 0 << 7;
    QTest::newRow("lock response 64") << 5 << 0 << 0 << 11;
    for (int code : {0, 1, 2, 3, 4})
        QTest::addRow("read response code %d", code) << 6 << code << 0 << csr232packet::sizeCodeLength(code) + 3;
    for (int n : {1, 4, 255, 256}) {
        QTest::addRow("read response var %d", n) << 6 << -n << 0 << n + 4;
        QTest::addRow("notification %d", n) << 9 << -n << 0 << n + 4; // L + 5 with L = n - 1
    }
    for (int status = 0; status <= 7; ++status)
        QTest::addRow("status %d", status) << 8 << status << 0 << 5;
}

void tst_csr232packet::roundTrip()
{
    QFETCH(int, type);
    QFETCH(int, size);
    QFETCH(int, adrEncoding);
    QFETCH(int, expectedLength);

    csr232packet out;
    out.setPacketType(type);
    out.setAdrEncoding(adrEncoding);
    out.setAddressBytes(hex("0102030405060708"));
    out.setLockFunction(type <= 1 ? 5 : 2);
    out.setLockDataBytes(hex("1112131415161718"));
    out.setLockArgBytes(hex("2122232425262728"));
    if (type == 8)
        out.setStatusPacketType(size);
    else if (size < 0)
        out.setVarLength(-size);
    else
        out.setOperandSize(size);
    out.setPayloadSize(256);
    for (int i = 0; i < 256; ++i)
        out.setPayloadByte(i, quint8(i * 7 + 3));

    const QByteArray wire = built(out);
    QCOMPARE(wire.size(), expectedLength);
    QCOMPARE(out.packetLength(), expectedLength);

    const csr232packet in = parseAll(wire);
    QCOMPARE(in.state(), 3);
    QCOMPARE(in.packetType(), type);
    QCOMPARE(in.packetLength(), expectedLength);
    if (type <= 3) {
        QCOMPARE(in.adrEncoding(), adrEncoding);
        const QByteArray expected = adrEncoding ? hex("0000000000000708") : hex("0102030405060708");
        QCOMPARE(in.addressBytes(), expected);
    }
    if (type <= 1)
        QCOMPARE(in.lockFunction(), 5);
    if (type == 0 || type == 4)
        QCOMPARE(in.lockDataBytes(), hex("0000000015161718"));
    if (type == 1 || type == 5)
        QCOMPARE(in.lockDataBytes(), hex("1112131415161718"));
    if (type == 0)
        QCOMPARE(in.lockArgBytes(), hex("0000000025262728"));
    if (type == 1)
        QCOMPARE(in.lockArgBytes(), hex("2122232425262728"));
    if (type == 2 || type == 3 || type == 6 || type == 9)
        QCOMPARE(in.varLength(), out.varLength());
    if (type == 3 || type == 6 || type == 9) {
        for (int i = 0; i < in.varLength(); ++i)
            QCOMPARE(in.dataBufferByte(i), quint8(i * 7 + 3));
    }
    if (type == 8)
        QCOMPARE(in.statusPacketType(), size);
}

void tst_csr232packet::singleCorruptedByteFails()
{
    // Address, data and CRC bytes of a write request and a notification: every
    // single-bit error must be caught; header and length bytes decide framing.
    csr232packet write;
    write.setPacketType(3);
    write.setAddressBytes(hex("0001FFFF00000014"));
    write.setOperandSize(1);
    write.setPayload(hex("3F800000"));
    csr232packet note;
    note.setPacketType(9);
    note.setVarLength(5);
    note.setPayload(hex("0200000100"));
    const QList<QPair<QByteArray, int>> packets = {{built(write), 1}, {built(note), 2}};
    for (const auto &[wire, framing] : packets) {
        for (int i = framing; i < wire.size(); ++i) {
            for (int bit = 0; bit < 8; ++bit) {
                QByteArray bad = wire;
                bad[i] = char(bad[i] ^ (1 << bit));
                QCOMPARE(parseAll(bad).state(), 4);
            }
        }
    }
}

void tst_csr232packet::bytesAfterCompletionIgnored()
{
    csr232packet note;
    note.setPacketType(9);
    note.setVarLength(2);
    note.setPayload(hex("0102"));
    csr232packet in = parseAll(built(note));
    QCOMPARE(in.state(), 3);
    for (char c : hex("E10A0B0C0D"))
        in.parse(quint8(c));
    QCOMPARE(in.state(), 3);
    QCOMPARE(in.varLength(), quint16(2));
    QCOMPARE(in.dataBufferByte(0), quint8(1));
    QCOMPARE(in.dataBufferByte(2), quint8(0));

    QByteArray bad = built(note);
    bad[3] = char(0x55);
    in = parseAll(bad);
    QCOMPARE(in.state(), 4);
    in.parse(0xE1);
    QCOMPARE(in.state(), 4);
}

void tst_csr232packet::unassignedSizeCodeRejectedAtHeader()
{
    for (quint8 header : {0x45, 0x47, 0x69, 0x6F, 0xC5, 0xCF}) {
        csr232packet p;
        p.parse(header);
        QCOMPARE(p.state(), 4);
    }
}

void tst_csr232packet::accessorRules()
{
    csr232packet p;
    QCOMPARE(p.packetType(), 8);
    QCOMPARE(p.varLength(), quint16(1));
    QCOMPARE(p.lockFunction(), 16);
    QCOMPARE(p.state(), 0);

    p.setOperandSize(4);
    QCOMPARE(p.varLength(), quint16(64));
    p.setVarLength(200);
    QCOMPARE(p.operandSize(), 8);
    p.setOperandSize(8);
    QCOMPARE(p.varLength(), quint16(200));

    p.setPacketType(3);
    p.setStatusPacketType(5);
    QCOMPARE(p.packetType(), 8);

    p.setPayloadSize(300);
    QCOMPARE(p.payloadSize(), 256);
    p.setPayloadSize(2);
    p.setPayloadByte(1, 0x7F);
    p.setPayloadByte(2, 0x55);
    p.setPayloadByte(-1, 0x55);
    QCOMPARE(p.payload(), hex("007F"));

    p.setAddressBytes(hex("AABB"));
    QCOMPARE(p.addressBytes(), hex("AABB000000000000"));
    QCOMPARE(p.isRequest(), false);
    p.setPacketType(0);
    QCOMPARE(p.isRequest(), true);
}

void tst_csr232packet::invalidValuesAreErrors()
{
    csr232packet p;
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, p.setOperandSize(5));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, p.setAddressBytes(QByteArray(9, 'x')));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, p.setLockDataBytes(QByteArray(9, 'x')));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, p.setPayload(QByteArray(257, 'x')));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, p.dataBufferByte(271));

    p.setPacketType(9);
    p.setPayloadSize(256);
    p.setVarLength(0);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, p.buildPacket());
    p.setVarLength(257);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, p.buildPacket());
    p.setPacketType(3);
    p.setPayloadSize(3);
    p.setOperandSize(1);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, p.buildPacket());
    p.setPacketType(0);
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, p.buildPacket()); // no lock function
}

QTEST_APPLESS_MAIN(tst_csr232packet)
#include "tst_csr232packet.moc"
