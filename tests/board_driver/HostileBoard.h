// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScriptedPeer.h"

#include <QSocketNotifier>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <vector>

// A board played by the test that knows only the wire format. It answers from
// the event loop (so also inside the driver's blocking waits): writes with a
// status packet, the start command with an acknowledgement and then the
// completion notification, block reads from its sample memory. The fault
// script decides, request by request, what goes wrong on the line.
class HostileBoard
{
public:
    enum class Fault {
        None,
        Lose,              // the answer never comes
        Damage,            // one byte of the answer is changed on the line
        Late,              // the answer comes lateMs after the request
        StrayNotification, // a progress notification instead of the answer
        ShortAnswer,       // a read response one sample short
        Refuse,            // a status packet with code 1
        NotReady,          // a status packet with code 0 instead of the data
        Double,            // the answer is sent twice in a row
    };
    // What happens to the answer of one request.
    struct Plan {
        Fault fault = Fault::None;
        int delayMs = 0;          // the answer (both copies, if doubled) comes this late
        bool doubled = false;     // sent twice in a row,
        int copyGapMs = 0;        // the copy this long after the first
        bool strayFirst = false;  // a progress notification goes first
        int damagedByte = -1;     // with Fault::Damage: the byte changed (-1: the middle one)
    };

    // index counts the requests from 0, resends included.
    std::function<Fault(const csr232packet &request, int index)> faultFor = [](const csr232packet &, int) {
        return Fault::None;
    };
    // When set, decides instead of faultFor.
    std::function<Plan(const csr232packet &request, int index)> planFor;
    int lateMs = 5500;
    // The completion is sent before the start command is acknowledged.
    bool completeBeforeAcknowledging = false;
    bool notifyCompletion = true;
    // After this many block reads the line goes away (-1: never).
    int blockReadsBeforeHangUp = -1;
    std::vector<std::int32_t> memory;

    HostileBoard()
        : m_notifier(m_peer.masterFd(), QSocketNotifier::Read)
    {
        QObject::connect(&m_notifier, &QSocketNotifier::activated, [this] { readRequests(); });
    }

    // A block read, the request that fetches samples.
    static bool isBlockRead(const csr232packet &request)
    {
        return request.packetType() == 2 && request.operandSize() == 8;
    }

    // Fills the sample memory with codes a test knows: a stride through the
    // 24-bit range, so neighbouring samples differ.
    void fillMemory(int samples, int stride = 7919)
    {
        memory.resize(std::size_t(samples));
        for (int i = 0; i < samples; ++i)
            memory[std::size_t(i)] = std::int32_t((std::int64_t(i) * stride) % 16777216) - 8388608;
    }

    QString devicePath() const { return m_peer.devicePath(); }
    int requests() const { return m_index; }
    int blockReads() const { return m_blockReads; }

    // Sends a notification of kind (1 completion, 2 progress) at once.
    void notify(quint8 kind, int count = 0)
    {
        csr232packet packet;
        packet.setPacketType(9);
        packet.setVarLength(5);
        packet.setPayloadSize(5);
        packet.setPayloadByte(0, kind);
        packet.setPayloadByte(3, quint8(count >> 8));
        packet.setPayloadByte(4, quint8(count));
        send(packet);
    }

    void sendStatus(int code)
    {
        csr232packet packet;
        packet.setStatusPacketType(code);
        send(packet);
    }

private:
    void readRequests()
    {
        unsigned char bytes[512];
        const ssize_t n = read(m_peer.masterFd(), bytes, sizeof bytes);
        for (ssize_t i = 0; i < n; ++i) {
            m_request.parse(bytes[i]);
            if (m_request.state() == csr232packet::Complete) {
                answer(m_request);
                m_request = csr232packet();
            } else if (m_request.state() == csr232packet::BadCrc) {
                m_request = csr232packet();
            }
        }
    }

    Plan planOf(Fault fault) const
    {
        Plan plan;
        plan.fault = fault;
        plan.doubled = fault == Fault::Double;
        plan.delayMs = fault == Fault::Late ? lateMs : 0;
        return plan;
    }

    void answer(const csr232packet &request)
    {
        const int index = m_index++;
        const Plan plan = planFor ? planFor(request, index) : planOf(faultFor(request, index));
        const Fault fault = plan.fault;
        const QByteArray address = request.addressBytes();
        const quint32 adr = qFromBigEndian<quint32>(address.constData() + 4);
        const bool blockRead = isBlockRead(request);
        const bool start = request.packetType() == 3 && adr == 15 && address.mid(2, 2) == QByteArray("\xFF\xFF", 2);
        if (blockRead && blockReadsBeforeHangUp >= 0 && m_blockReads >= blockReadsBeforeHangUp) {
            m_notifier.setEnabled(false);
            m_peer.hangUp();
            return;
        }
        csr232packet reply;
        if (blockRead)
            ++m_blockReads;
        if (blockRead && fault != Fault::NotReady) {
            const int length = std::max(1, request.varLength() - (fault == Fault::ShortAnswer ? 3 : 0));
            reply.setPacketType(6);
            reply.setVarLength(length);
            reply.setPayloadSize(length);
            for (int i = 0; i < length; ++i) {
                const std::size_t sample = (adr + quint32(i)) / 3;
                const std::int32_t code = sample < memory.size() ? memory[sample] : 0;
                reply.setPayloadByte(i, quint8(code >> (8 * (2 - int(adr + quint32(i)) % 3))));
            }
        } else {
            reply.setStatusPacketType(fault == Fault::Refuse ? 1 : 0);
        }
        if (start && completeBeforeAcknowledging && notifyCompletion)
            notify(1);
        if (plan.strayFirst)
            notify(2, 1);
        if (fault == Fault::Lose)
            return;
        if (fault == Fault::StrayNotification) {
            notify(2, 1);
            return;
        }
        reply.buildPacket();
        QByteArray bytes = reply.dataBuffer();
        if (fault == Fault::Damage) {
            const qsizetype at = plan.damagedByte >= 0 ? plan.damagedByte % bytes.size() : bytes.size() / 2;
            bytes[at] = char(bytes[at] ^ 0x5A);
        }
        if (plan.doubled && plan.copyGapMs > 0)
            QTimer::singleShot(plan.delayMs + plan.copyGapMs, &m_timers, [this, bytes] { m_peer.send(bytes); });
        else if (plan.doubled)
            bytes += bytes;
        // The acquisition a start command begins reports its end after the answer.
        const bool completes = start && !completeBeforeAcknowledging && notifyCompletion && fault != Fault::Damage;
        const auto sendAnswer = [this, bytes, completes] {
            m_peer.send(bytes);
            if (completes)
                notify(1);
        };
        if (plan.delayMs > 0)
            QTimer::singleShot(plan.delayMs, &m_timers, sendAnswer);
        else
            sendAnswer();
    }

    void send(csr232packet &packet)
    {
        packet.buildPacket();
        m_peer.send(packet.dataBuffer());
    }

    ScriptedPeer m_peer;
    QObject m_timers; // late answers die with the board
    QSocketNotifier m_notifier;
    csr232packet m_request;
    int m_index = 0;
    int m_blockReads = 0;
};
