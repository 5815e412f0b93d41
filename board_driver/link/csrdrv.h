// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "blockReadLedger.h"
#include "fifo.h"
#include "linkTiming.h"
#include "packetAssembler.h"
#include "portTable.h"

#include "NuvarDriverEnums.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

#include <array>
#include <deque>
#include <functional>
#include <utility>

class NuvarDriverEvents;
class QSerialPort;

// The link to the board: owns the serial port, sends queued packets one at a
// time, assembles received bytes into packets, watches outstanding requests,
// and offers the board's register operations on top. Everything runs on the
// UI thread; waitPacket() re-enters the event loop while it waits.
// Failures the caller must know about throw NuvarDriverError.
//
// The protocol has no sequence numbers, so the link keeps itself in step: a
// received answer is taken only as the answer of the oldest outstanding
// request it can answer; anything else is discarded. Block reads are told
// apart by their lengths (blockReadLedger): a read response is taken only by
// the block read of its length, and only while no earlier read of that length
// may still be answered. A request whose answer is lost, damaged or out of
// step is sent again after a guard time of quiet on the line, up to
// MaxAttempts sends in all; only then does it time out.
class csrdrv : public QObject
{
    Q_OBJECT

public:
    // The default times (linkTiming).
    static constexpr int ResponseTimeoutMs = linkTiming{}.responseMs;
    static constexpr int GuardQuietMs = linkTiming{}.guardQuietMs;
    static constexpr int GuardLimitMs = linkTiming{}.guardLimitMs;
    static constexpr int LateAnswerMs = linkTiming{}.lateAnswerMs;
    // Sends of one request before it counts as unanswered.
    static constexpr int MaxAttempts = 3;
    // Longest a request can take from its first send to its time-out.
    static constexpr int LongestExchangeMs = MaxAttempts * ResponseTimeoutMs + (MaxAttempts - 1) * GuardLimitMs;

    // Why the last request failed.
    enum class Failure { None, NoAnswer, DamagedAnswer, PortLost, WriteRefused };

    explicit csrdrv(QObject *parent = nullptr);
    ~csrdrv() override;

    // The times in force: the defaults unless a test shortened them.
    const linkTiming &timing() const { return m_timing; }
    void setTiming(const linkTiming &timing);

    // Ports.
    void setPortTable(const portTable &table) { m_portTable = table; }
    const portTable &ports() const { return m_portTable; }
    void findPorts();
    QList<quint16> portlist() const { return m_portlist; }
    void setPortNumber(quint16 portnum);
    // Puts the device path first in the port table, whole, and opens it as
    // port 1; false (the port closed, the table as it was) when it cannot.
    bool openDevice(const QString &path);
    quint16 portNumber() const { return m_portNumber; }
    bool isOpen() const;

    void setEventHandler(NuvarDriverEvents *handler) { m_eventHandler = handler; }
    NuvarDriverEvents *eventHandler() const { return m_eventHandler; }

    // Packets.
    void sendPacket(PacketRef pkt);
    quint16 packetsWaiting() const { return m_rxQueue.itemCount(); }
    PacketRef getPacket() { return m_rxQueue.pop(); }
    // The oldest queued notification, or the oldest queued answer.
    PacketRef takeNotification();
    PacketRef takeAnswer();
    bool waitPacket();
    PacketRef lastReceivedPacket() const { return m_lastReceived; }
    void resetBus();
    bool isTransmitEnabled() const { return m_transmitEnabled; }
    // Received bytes the link had to discard, and the damaged packets they made.
    quint64 droppedBytes() const { return m_assembler.droppedBytes(); }
    quint64 droppedPackets() const { return m_assembler.droppedPackets(); }
    // Good packets discarded because they answered nothing outstanding.
    quint64 discardedAnswers() const { return m_discardedAnswers; }
    // Requests sent again after a lost, damaged or out-of-step answer.
    quint64 resends() const { return m_resends; }
    // Read responses of a length no block read may be answered with: the
    // board answered out of step. The lengths since the last call, oldest first.
    quint64 outOfStepAnswers() const { return m_outOfStepAnswers; }
    QList<int> takeOutOfStepLengths() { return std::exchange(m_outOfStepLengths, {}); }
    Failure lastFailure() const { return m_lastFailure; }
    // The last failure in words, for the user.
    QString failureText() const;

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
    // The length, in whole units up to maxLength, the next block read of new
    // data may ask for; 0 when none is free before blockLengthWaitMs().
    int freeBlockLength(int maxLength, int unit) { return m_blockReads.freeLength(maxLength, unit); }
    int blockLengthWaitMs() { return m_blockReads.msUntilFree(); }
    // Queues a block read; false when length is another block read's (one
    // from freeBlockLength, or the same read asked again, never is).
    bool readBlock(qint32 adr, int length);
    // Gives up the block reads not yet answered (a cancelled reception): the
    // unsent ones are dropped, and the answers of the sent ones, should they
    // still come, are taken in step and discarded, never handed on.
    void abandonBlockReads();
    // Ends the blocking waits under way at once, as failed (the program is
    // closing, the user interrupted): the unsent requests are dropped, and the
    // answers of the sent ones are taken in step and discarded.
    void abandonWaits();
    static qint32 BytesToLong(const QByteArray &TheArray);
    static float BytesToSingle(const QByteArray &TheArray);

signals:
    void notificationReceived();
    void responseReceived();
    void responseTimeout();
    // The port went away (device unplugged, far end closed); it is closed now.
    void portLost();
    // Every byte array written to or read from the port, for the serial monitor.
    void bytesSent(const QByteArray &bytes);
    void bytesReceived(const QByteArray &bytes);

private:
    bool transmitStep();
    // Nobody waits any more for the outstanding requests that which picks: their
    // answers, should they come, are taken in step and discarded.
    void abandonOutstanding(const std::function<bool(const csr232packet &)> &which);
    void outputDrained();
    void inputWaiting();
    void deliver(const QList<PacketRef> &completed);
    bool acceptAnswer(const PacketRef &packet);
    bool acceptBlockData(const PacketRef &packet);
    bool takeAsAnswer(const PacketRef &packet);
    void responseTimerExpired();
    void requestFailed(Failure cause);
    void giveUp(Failure cause);
    void startGuard();
    void endGuard();
    void portError();
    void resetExchange();
    void deliverQueuedAnswers();
    void packetStalled();
    void transmitReset();
    void closePort();
    void raise(EventEnum evType);

    PacketRef makeRequest(int packetType) const;
    void sendWrite(qint32 adr, const QByteArray &bigEndianData);
    void sendRead(qint32 adr, int sizeCode);
    bool takeReadResponse(int sizeCode, QByteArray &data);
    bool takeWriteAcknowledgement();

    QSerialPort *m_commctl;
    linkTiming m_timing;
    blockReadLedger m_blockReads;
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
    bool m_waitsAbandoned = false; // until the outermost wait has returned
    bool m_responseTimedOut = false;
    std::array<quint8, 8> m_address{};

    // Requests written and not yet answered, oldest first; the response timer
    // watches the oldest.
    std::deque<PacketRef> m_outstanding;
    // The request a blocking wait waits for, and its answer once taken.
    PacketRef m_lastRequest;
    PacketRef m_awaited;
    PacketRef m_awaitedAnswer;
    // Outstanding requests whose answers nobody wants any more.
    QList<PacketRef> m_abandoned;
    int m_failedAttempts = 0;
    bool m_guarding = false;
    bool m_portLost = false;
    quint64 m_droppedSeen = 0;
    quint64 m_discardedAnswers = 0;
    quint64 m_resends = 0;
    quint64 m_outOfStepAnswers = 0;
    QList<int> m_outOfStepLengths;
    Failure m_lastFailure = Failure::None;

    QTimer m_responseTimer;
    QTimer m_timeoutTimer;
    QTimer m_resetTxTimer;
    QTimer m_guardQuietTimer;
    QTimer m_guardLimitTimer;
};
