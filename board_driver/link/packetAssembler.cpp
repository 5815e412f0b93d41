// SPDX-License-Identifier: GPL-3.0-or-later
#include "packetAssembler.h"

packetAssembler::packetAssembler()
    : m_packet(std::make_shared<csr232packet>())
{
}

void packetAssembler::feed(QByteArrayView bytes, QList<PacketRef> &completed)
{
    m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
    run(completed);
}

void packetAssembler::flush(QList<PacketRef> &completed)
{
    while (!m_candidate.isEmpty()) {
        dropFirstCandidateByte();
        run(completed);
    }
}

void packetAssembler::discard()
{
    const std::size_t bytes = m_pending.size() + std::size_t(m_candidate.size());
    m_droppedBytes += bytes;
    if (bytes > 0 && !m_inDroppedRun)
        ++m_droppedPackets;
    m_pending.clear();
    m_candidate.clear();
    m_packet = std::make_shared<csr232packet>();
    m_inDroppedRun = false;
}

void packetAssembler::run(QList<PacketRef> &completed)
{
    while (!m_pending.empty()) {
        const quint8 c = m_pending.front();
        m_pending.pop_front();
        m_candidate.append(char(c));
        m_packet->parse(c);
        if (m_packet->state() == csr232packet::Complete) {
            // The next packet object is in place before anyone sees this one.
            completed.append(std::exchange(m_packet, std::make_shared<csr232packet>()));
            m_candidate.clear();
            m_inDroppedRun = false;
        } else if (m_packet->state() == csr232packet::BadCrc) {
            dropFirstCandidateByte();
        }
    }
}

void packetAssembler::dropFirstCandidateByte()
{
    ++m_droppedBytes;
    if (!m_inDroppedRun) {
        ++m_droppedPackets;
        m_inDroppedRun = true;
    }
    // The rest of the candidate is parsed again, ahead of the bytes not yet seen.
    m_pending.insert(m_pending.begin(), m_candidate.begin() + 1, m_candidate.end());
    m_candidate.clear();
    m_packet = std::make_shared<csr232packet>();
}
