// SPDX-License-Identifier: GPL-3.0-or-later
// The receiving half of csr232packet: a packet is taken in as a chain of fields
// whose sizes follow from the header and the length byte.
#include "csr232packet.h"

#include "crc16.h"

namespace {

// Lock function codes a receiver accepts; any other yields "no lock function".
int decodeLockFunction(quint8 header)
{
    const int code = header & 0x0F;
    switch (code) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 8: case 9:
        return code;
    default:
        return csr232packet::NoLockFunction;
    }
}

} // namespace

void csr232packet::expect(int size, Decision decision, Target target, int index)
{
    m_fieldSize = size;
    m_fieldCount = 0;
    m_decision = decision;
    m_target = target;
    m_targetIndex = index;
}

void csr232packet::parse(quint8 c)
{
    if (m_state == Complete || m_state == BadCrc)
        return;
    switch (m_target) {
    case Target::Address: m_address[size_t(m_targetIndex++)] = c; break;
    case Target::LockData: m_lockData[size_t(m_targetIndex++)] = c; break;
    case Target::LockArg: m_lockArg[size_t(m_targetIndex++)] = c; break;
    case Target::Data: m_buffer[size_t(m_targetIndex++)] = c; break;
    case Target::None: break;
    }
    m_current = c;
    m_crc = crc16Update(m_crc, c);
    if (++m_fieldCount == m_fieldSize)
        decide();
}

void csr232packet::decide()
{
    switch (m_decision) {
    case Decision::Header: decideHeader(); break;
    case Decision::Address: decideAddress(); break;
    case Decision::LockData:
        if (m_packetType == 0 || m_packetType == 1)
            expectLockField(Decision::LockArg, m_lockArg);
        else
            expect(2, Decision::Crc);
        break;
    case Decision::LockArg: expect(2, Decision::Crc); break;
    case Decision::Length: decideLength(); break;
    case Decision::Data: expect(2, Decision::Crc); break;
    case Decision::Crc: m_state = m_crc == 0 ? Complete : BadCrc; break;
    }
}

void csr232packet::expectLockField(Decision decision, Store8 &store)
{
    const bool wide = m_packetType == 1 || m_packetType == 5;
    if (!wide)
        store.fill(0);
    const Target target = &store == &m_lockArg ? Target::LockArg : Target::LockData;
    expect(wide ? 8 : 4, decision, target, wide ? 0 : 4);
}

void csr232packet::expectData()
{
    expect(m_varLength, Decision::Data, Target::Data, 0);
}

void csr232packet::decideHeader()
{
    const quint8 h = m_current;
    m_header = h;
    m_state = HeaderReceived;
    const int code = h & 0x0F;
    if (!(h & 0x80)) {
        m_adrEncoding = (h & 0x10) ? 1 : 0;
        if (m_adrEncoding == 1)
            m_address.fill(0);
        expect(addressLength(), Decision::Address, Target::Address, m_adrEncoding == 1 ? 6 : 0);
    }
    const int a = addressLength();
    // Requests and responses with an unassigned size code cannot be framed:
    // the packet is rejected at once so the link can look for the next header.
    const bool sized = (h >> 5) == 2 || (h >> 5) == 3 || (h >> 5) == 6;
    if (sized && !isAssignedSizeCode(code)) {
        m_packetLength = 1;
        m_state = BadCrc;
        return;
    }
    if (sized && code != 8) {
        m_operandSize = code;
        m_varLength = quint16(sizeCodeLength(code));
    }
    switch (h >> 5) {
    case 0:
    case 1:
        m_packetType = h >> 5;
        m_lockFunction = decodeLockFunction(h);
        m_operandSize = m_packetType == 0 ? 1 : 2;
        m_varLength = m_packetType == 0 ? 4 : 8;
        m_packetLength = a + (m_packetType == 0 ? 11 : 19);
        m_state = Receiving;
        break;
    case 2:
        m_packetType = 2;
        m_packetLength = a + (code == 8 ? 4 : 3);
        m_state = Receiving;
        break;
    case 3:
        m_packetType = 3;
        if (code != 8) {
            m_packetLength = a + m_varLength + 3;
            m_state = Receiving;
        }
        break;
    case 4:
    case 5:
        m_packetType = h >> 5;
        m_packetLength = m_packetType == 4 ? 7 : 11;
        m_state = Receiving;
        expectLockField(Decision::LockData, m_lockData);
        break;
    case 6:
        m_packetType = 6;
        if (code == 8) {
            expect(1, Decision::Length);
        } else {
            m_packetLength = m_varLength + 3;
            m_state = Receiving;
            expectData();
        }
        break;
    default:
        expect(1, Decision::Length);
        if (h & 0x10) {
            m_packetType = 8;
            m_statusPacketType = (code >= 1 && code <= 7) ? code : 0;
        } else {
            m_packetType = h == 0xE1 ? 9 : 7;
        }
        break;
    }
}

void csr232packet::decideAddress()
{
    switch (m_packetType) {
    case 0:
    case 1:
        expectLockField(Decision::LockData, m_lockData);
        break;
    case 2:
        if ((m_header & 0x0F) == 8)
            expect(1, Decision::Length);
        else
            expect(2, Decision::Crc);
        break;
    default:
        if ((m_header & 0x0F) == 8)
            expect(1, Decision::Length);
        else
            expectData();
        break;
    }
}

void csr232packet::decideLength()
{
    const int length = m_current;
    m_operandSize = 8;
    m_varLength = quint16(length + 1);
    m_state = Receiving;
    switch (m_packetType) {
    case 2:
        expect(2, Decision::Crc);
        return;
    case 3:
        m_packetLength = addressLength() + m_varLength + 4;
        break;
    case 6:
        m_packetLength = m_varLength + 4;
        break;
    default:
        m_packetLength = length + 5;
        break;
    }
    expectData();
}
