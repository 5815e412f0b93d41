// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "csr232packet.h"

#include <QByteArrayView>
#include <QList>

#include <deque>
#include <memory>

using PacketRef = std::shared_ptr<csr232packet>;

// Turns a stream of received bytes into packets. The protocol has no framing
// byte, so after a damaged packet (bad CRC, or a header that cannot be framed)
// the assembler drops the first byte of the failed candidate and parses again
// from the next one; the candidate's bytes are kept for that, at most one
// packet long. A packet whose CRC is good is never dropped.
class packetAssembler
{
public:
    packetAssembler();

    // Parses the bytes and appends every completed good packet to completed,
    // oldest first.
    void feed(QByteArrayView bytes, QList<PacketRef> &completed);
    // Gives up the packet being received (the line has gone quiet part-way):
    // good packets hidden in its bytes are still recovered, the rest dropped.
    void flush(QList<PacketRef> &completed);
    // Forgets the packet being received and any bytes not yet parsed (counted
    // as dropped).
    void discard();

    // True while a packet has begun but not completed.
    bool isReceiving() const { return !m_candidate.isEmpty(); }
    // The packet being received.
    const csr232packet &receivePacket() const { return *m_packet; }

    // Bytes discarded so far, and the number of runs of them (each run is one
    // damaged or lost packet as far as the receiver can tell).
    quint64 droppedBytes() const { return m_droppedBytes; }
    quint64 droppedPackets() const { return m_droppedPackets; }

private:
    void run(QList<PacketRef> &completed);
    void dropFirstCandidateByte();

    PacketRef m_packet;
    QByteArray m_candidate;
    std::deque<quint8> m_pending;
    quint64 m_droppedBytes = 0;
    quint64 m_droppedPackets = 0;
    bool m_inDroppedRun = false;
};
