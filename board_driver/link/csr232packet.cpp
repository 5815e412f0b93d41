// SPDX-License-Identifier: GPL-3.0-or-later
#include "csr232packet.h"

#include "crc16.h"

#include <stdexcept>
#include <string>

namespace {

[[noreturn]] void reject(const std::string &what)
{
    throw std::invalid_argument("csr232packet: " + what);
}

} // namespace

int csr232packet::sizeCodeLength(int code)
{
    switch (code) {
    case 0: return 1;
    case 1: return 4;
    case 2: return 8;
    case 3: return 16;
    case 4: return 64;
    default: return 0;
    }
}

void csr232packet::setOperandSize(int p)
{
    if (!isAssignedSizeCode(p))
        reject("unassigned size code " + std::to_string(p));
    m_operandSize = p;
    if (p != 8)
        m_varLength = quint16(sizeCodeLength(p));
}

void csr232packet::setVarLength(int p)
{
    if (p < 0 || p > 0xFFFF)
        reject("data length " + std::to_string(p) + " does not fit 16 bits");
    m_operandSize = 8;
    m_varLength = quint16(p);
}

void csr232packet::copyInto(Store8 &store, const QByteArray &bytes)
{
    if (bytes.size() > qsizetype(store.size()))
        reject("more than 8 bytes for an 8-byte store");
    for (qsizetype i = 0; i < bytes.size(); ++i)
        store[size_t(i)] = quint8(bytes[i]);
}

static QByteArray toByteArray(const std::array<quint8, 8> &store)
{
    return QByteArray(reinterpret_cast<const char *>(store.data()), qsizetype(store.size()));
}

QByteArray csr232packet::addressBytes() const { return toByteArray(m_address); }
void csr232packet::setAddressBytes(const QByteArray &bytes) { copyInto(m_address, bytes); }
QByteArray csr232packet::lockDataBytes() const { return toByteArray(m_lockData); }
void csr232packet::setLockDataBytes(const QByteArray &bytes) { copyInto(m_lockData, bytes); }
QByteArray csr232packet::lockArgBytes() const { return toByteArray(m_lockArg); }
void csr232packet::setLockArgBytes(const QByteArray &bytes) { copyInto(m_lockArg, bytes); }

void csr232packet::setAdrEncoding(int p)
{
    if (p != 0 && p != 1)
        reject("address form must be 0 (long) or 1 (short)");
    m_adrEncoding = p;
}

void csr232packet::setStatusPacketType(int p)
{
    m_packetType = 8;
    m_statusPacketType = p;
}

void csr232packet::setPayloadSize(int s)
{
    s = qBound(0, s, MaxDataLength);
    m_payload = QByteArray(s, '\0');
    m_payloadSize = s;
}

void csr232packet::setPayloadByte(int offset, quint8 value)
{
    if (offset >= 0 && offset < m_payloadSize && offset < m_payload.size())
        m_payload[offset] = char(value);
}

void csr232packet::setPayload(const QByteArray &bytes)
{
    if (bytes.size() > MaxDataLength)
        reject("payload longer than 256 bytes");
    m_payload = bytes;
}

void csr232packet::append(quint8 byte)
{
    m_buffer[size_t(m_packetLength++)] = byte;
}

void csr232packet::appendStore(const Store8 &store, int from, int to)
{
    for (int i = from; i <= to; ++i)
        append(store[size_t(i)]);
}

void csr232packet::requireLockFunction() const
{
    if (m_lockFunction < 0 || m_lockFunction > 15)
        reject("lock function " + std::to_string(m_lockFunction) + " does not fit the header");
}

void csr232packet::requireVariableLength() const
{
    if (m_varLength < 1 || m_varLength > MaxDataLength)
        reject("variable data length " + std::to_string(m_varLength) + " outside 1 to 256");
}

void csr232packet::appendPayload()
{
    if (m_varLength > m_payload.size())
        reject("data length " + std::to_string(m_varLength) + " exceeds the payload");
    for (int i = 0; i < m_varLength; ++i)
        append(quint8(m_payload[i]));
}

void csr232packet::buildPacket()
{
    m_packetLength = 0;
    auto startRequest = [this](quint8 header) {
        append(m_adrEncoding == 1 ? quint8(header | 0x10) : header);
        appendStore(m_address, m_adrEncoding == 1 ? 6 : 0, 7);
    };
    auto sizedHeader = [this](quint8 typeBits) {
        if (!isAssignedSizeCode(m_operandSize))
            reject("unassigned size code " + std::to_string(m_operandSize));
        if (m_operandSize == 8)
            requireVariableLength();
        return quint8(typeBits | m_operandSize);
    };
    auto appendLengthByte = [this] {
        if (m_operandSize == 8)
            append(quint8(m_varLength - 1));
    };

    switch (m_packetType) {
    case 0:
    case 1:
        requireLockFunction();
        startRequest(quint8(m_lockFunction | (m_packetType == 1 ? 0x20 : 0x00)));
        appendStore(m_lockData, m_packetType == 1 ? 0 : 4, 7);
        appendStore(m_lockArg, m_packetType == 1 ? 0 : 4, 7);
        break;
    case 2:
        startRequest(sizedHeader(0x40));
        appendLengthByte();
        break;
    case 3:
        startRequest(sizedHeader(0x60));
        appendLengthByte();
        appendPayload();
        break;
    case 4:
    case 5:
        requireLockFunction();
        append(quint8(m_lockFunction | (m_packetType == 5 ? 0xA0 : 0x80)));
        appendStore(m_lockData, m_packetType == 5 ? 0 : 4, 7);
        break;
    case 6:
        append(sizedHeader(0xC0));
        appendLengthByte();
        appendPayload();
        break;
    case 8:
        if (m_statusPacketType < 0 || m_statusPacketType > 15)
            reject("status code " + std::to_string(m_statusPacketType) + " does not fit the header");
        append(quint8(0xF0 | m_statusPacketType));
        m_operandSize = 8;
        m_varLength = 0;
        append(0x00);
        append(0x00);
        break;
    case 9:
        requireVariableLength();
        append(0xE1);
        append(quint8(m_varLength - 1));
        appendPayload();
        break;
    default:
        return;
    }
    const quint16 crc = crc16(QByteArrayView(m_buffer.data(), m_packetLength));
    append(quint8(crc >> 8));
    append(quint8(crc & 0xFF));
}

QByteArray csr232packet::dataBuffer() const
{
    return QByteArray(reinterpret_cast<const char *>(m_buffer.data()), m_packetLength);
}

quint8 csr232packet::dataBufferByte(int offset) const
{
    if (offset < 0 || offset >= DataBufferSize)
        throw std::out_of_range("csr232packet: data buffer offset " + std::to_string(offset));
    return m_buffer[size_t(offset)];
}
