// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fifo.h"
#include "packetAssembler.h"
#include "portTable.h"

#include "NuvarDriverEnums.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <array>

class NuvarDriverEvents;
class QSerialPort;

// The link to the board: owns the serial port, sends queued packets one at a
// time, assembles received bytes into packets, watches outstanding requests,
// and offers the board's register operations on top. Everything runs on the
// UI thread; waitPacket() re-enters the event loop while it waits.
// Failures the caller must know about throw NuvarDriverError.
class csrdrv : public QObject
{
    Q_OBJECT

public:
    static constexpr int ResponseTimeoutMs = 5000;
    static constexpr int StallTimeoutMs = 3000;
    static constexpr int TransmitPauseMs = 1500;

    explicit csrdrv(QObject *parent = nullptr);
    ~csrdrv() override;

    // Ports.
    void setPortTable(const portTable &table) { m_portTable = table; }
    const portTable &ports() const { return m_portTable; }
    void findPorts();
    QList<quint16> portlist() const { return m_portlist; }
    void setPortNumber(quint16 portnum);
    quint16 portNumber() const { return m_portNumber; }
    bool isOpen() const;

    void setEventHandler(NuvarDriverEvents *handler) { m_eventHandler = handler; }
    NuvarDriverEvents *eventHandler() const { return m_eventHandler; }

    // Packets.
    void sendPacket(PacketRef pkt);
    quint16 packetsWaiting() const { return m_rxQueue.itemCount(); }
    PacketRef getPacket() { return m_rxQueue.pop(); }
    bool waitPacket();
    PacketRef lastReceivedPacket() const { return m_lastReceived; }
    void resetBus();
    bool isTransmitEnabled() const { return m_transmitEnabled; }
    // Received bytes the link had to discard, and the damaged packets they made.
    quint64 droppedBytes() const { return m_assembler.droppedBytes(); }
    quint64 droppedPackets() const { return m_assembler.droppedPackets(); }

    // Register operations.
    void setNodeID(qint32 nodeid);
    void setPage(qint32 page);
    void setAddress(qint32 adr);
    void writeByte(qint32 adr, quint8 p);
    bool writeByteBlocking(qint32 adr, quint8 p);
    bool writeQuadletBlocking(qint32 adr, qint32 value);
    bool writeFloatBlocking(qint32 adr, float value);
    void readByte(qint32 adr);
    bool readByteBlocking(qint32 adr, quint8 &data);
    bool readFloatBlocking(qint32 adr, float &data);
    void readBlock(qint32 adr, int length);
    static qint32 BytesToLong(const QByteArray &TheArray);
    static float BytesToSingle(const QByteArray &TheArray);

signals:
    void notificationReceived();
    void responseReceived();
    void responseTimeout();
    // Every byte array written to or read from the port, for the serial monitor.
    void bytesSent(const QByteArray &bytes);
    void bytesReceived(const QByteArray &bytes);

private:
    bool transmitStep();
    void outputDrained();
    void inputWaiting();
    void deliver(const QList<PacketRef> &completed);
    void responseTimerExpired();
    void packetStalled();
    void transmitReset();
    void closePort();
    void raise(EventEnum evType);

    PacketRef makeRequest(int packetType) const;
    void sendWrite(qint32 adr, const QByteArray &bigEndianData);
    void sendRead(qint32 adr, int sizeCode);
    bool takeReadResponse(int sizeCode, QByteArray &data);

    QSerialPort *m_commctl;
    portTable m_portTable;
    QList<quint16> m_portlist;
    quint16 m_portNumber = 0;
    NuvarDriverEvents *m_eventHandler = nullptr;

    packetAssembler m_assembler;
    PacketRef m_inFlight;
    fifo m_rxQueue;
    fifo m_txQueue;
    PacketRef m_lastReceived;
    bool m_transmitEnabled = true;
    int m_waitDepth = 0; // event delivery is off while a blocking wait runs
    bool m_responseTimedOut = false;
    std::array<quint8, 8> m_address{};

    QTimer m_responseTimer;
    QTimer m_timeoutTimer;
    QTimer m_resetTxTimer;
};
