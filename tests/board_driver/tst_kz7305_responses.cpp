// SPDX-License-Identifier: GPL-3.0-or-later
// Block reception against answers the simulated board never gives: answers
// of the wrong length, "not ready" status packets and stray responses.
#include "DriverEventLog.h"
#include "ScriptedPeer.h"
#include "csrdrv.h"
#include "kz7305.h"

#include <QtEndian>
#include <QtTest>

class tst_kz7305_responses : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void answersOfTheWrongLengthAskedAgain();
    void statusPacketAsksAgain();
    void responseAfterTheBlockIgnored();

private:
    // Checks the next request is a block read of page 0 at adr for length bytes.
    void expectBlockRead(quint32 adr, int length);
    std::vector<std::int32_t> data(std::size_t count);

    std::unique_ptr<ScriptedPeer> m_peer;
    std::unique_ptr<kz7305> m_driver;
    DriverEventLog m_log;
};

void tst_kz7305_responses::init()
{
    m_peer = std::make_unique<ScriptedPeer>();
    QVERIFY(!m_peer->devicePath().isEmpty());
    m_driver = std::make_unique<kz7305>();
    m_driver->theCsrDrv()->setPortTable(portTable({m_peer->devicePath()}));
    m_log.events.clear();
    m_driver->DriverOpen(m_log);
    m_driver->setPortNumber(1);
    QVERIFY(m_driver->isPortOpen());
}

void tst_kz7305_responses::cleanup()
{
    m_driver.reset();
    m_peer.reset();
}

void tst_kz7305_responses::expectBlockRead(quint32 adr, int length)
{
    const std::unique_ptr<csr232packet> request = m_peer->nextRequest();
    QVERIFY(request);
    QCOMPARE(request->state(), int(csr232packet::Complete));
    QCOMPARE(request->packetType(), 2);
    const QByteArray address = request->addressBytes();
    QCOMPARE(address.mid(2, 2), QByteArray::fromHex("0000"));
    QCOMPARE(qFromBigEndian<quint32>(address.constData() + 4), adr);
    QCOMPARE(int(request->varLength()), length);
}

std::vector<std::int32_t> tst_kz7305_responses::data(std::size_t count)
{
    std::vector<std::int32_t> codes(count);
    m_driver->GetData(codes);
    return codes;
}

void tst_kz7305_responses::answersOfTheWrongLengthAskedAgain()
{
    m_driver->StartDataReceive(0, 4);
    expectBlockRead(0, 12);
    // Seven bytes: two samples and a third byte of a sample that never completes.
    m_peer->sendReadResponse(QByteArray::fromHex("7FFFFF800000FF"));
    expectBlockRead(0, 12);
    // Five samples for four.
    m_peer->sendReadResponse(QByteArray::fromHex("7FFFFF800000FFFFFF000001000002"));
    expectBlockRead(0, 12);
    QCOMPARE(m_driver->SamplesReceived(), 0);
    m_peer->sendReadResponse(QByteArray::fromHex("7FFFFF800000FFFFFF000001"));
    QTRY_COMPARE(m_driver->Status(), STATUS_DATA_AVAILABLE);
    QCOMPARE(m_log.events, (QList<EventEnum>{EVENT_RX_START, EVENT_RX_FINISH}));
    QCOMPARE(data(4), (std::vector<std::int32_t>{8388607, -8388608, -1, 1}));
    QCOMPARE(m_driver->theCsrDrv()->discardedAnswers(), 2u);
}

void tst_kz7305_responses::statusPacketAsksAgain()
{
    m_driver->StartDataReceive(0, 1);
    expectBlockRead(0, 3);
    m_peer->send(QByteArray::fromHex("F00000E352")); // not ready yet
    expectBlockRead(0, 3);
    m_peer->sendReadResponse(QByteArray::fromHex("123456"));
    QTRY_COMPARE(m_driver->Status(), STATUS_DATA_AVAILABLE);
    QCOMPARE(data(1), std::vector<std::int32_t>{0x123456});
    QCOMPARE(m_log.events, (QList<EventEnum>{EVENT_RX_START, EVENT_RX_FINISH}));
}

void tst_kz7305_responses::responseAfterTheBlockIgnored()
{
    m_driver->StartDataReceive(0, 1);
    expectBlockRead(0, 3);
    m_peer->sendReadResponse(QByteArray::fromHex("000005"));
    QTRY_COMPARE(m_driver->Status(), STATUS_DATA_AVAILABLE);
    m_peer->sendReadResponse(QByteArray::fromHex("000009"));
    m_peer->send(QByteArray::fromHex("F00000E352"));
    QVERIFY(m_peer->quietFor(300));
    QCOMPARE(m_log.events, (QList<EventEnum>{EVENT_RX_START, EVENT_RX_FINISH}));
    QCOMPARE(data(1), std::vector<std::int32_t>{5});
}

QTEST_MAIN(tst_kz7305_responses)
#include "tst_kz7305_responses.moc"
