// SPDX-License-Identifier: GPL-3.0-or-later
// The register operations of csrdrv: requests to the board's 64-bit register
// space (node ID, page, register address), all sent in the long address form.
#include "csrdrv.h"

#include "NuvarDriverError.h"

#include <QtEndian>

#include <cstring>

void csrdrv::setNodeID(qint32 nodeid)
{
    m_address[0] = quint8(nodeid >> 8);
    m_address[1] = quint8(nodeid);
}

void csrdrv::setPage(qint32 page)
{
    m_address[2] = quint8(page >> 8);
    m_address[3] = quint8(page);
}

void csrdrv::setAddress(qint32 adr)
{
    qToBigEndian(quint32(adr), m_address.data() + 4);
}

PacketRef csrdrv::makeRequest(int packetType) const
{
    auto packet = std::make_shared<csr232packet>();
    packet->setPacketType(packetType);
    packet->setAddressBytes(QByteArray(reinterpret_cast<const char *>(m_address.data()), 8));
    packet->setAdrEncoding(0);
    return packet;
}

void csrdrv::sendWrite(qint32 adr, const QByteArray &bigEndianData)
{
    setAddress(adr);
    PacketRef packet = makeRequest(3);
    packet->setOperandSize(bigEndianData.size() == 1 ? 0 : 1);
    packet->setPayloadSize(int(bigEndianData.size()));
    for (int i = 0; i < bigEndianData.size(); ++i)
        packet->setPayloadByte(i, quint8(bigEndianData[i]));
    sendPacket(packet);
}

void csrdrv::sendRead(qint32 adr, int sizeCode)
{
    setAddress(adr);
    PacketRef packet = makeRequest(2);
    packet->setOperandSize(sizeCode);
    sendPacket(packet);
}

static QByteArray bigEndianQuadlet(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

void csrdrv::writeByte(qint32 adr, quint8 p)
{
    sendWrite(adr, QByteArray(1, char(p)));
}

bool csrdrv::writeByteBlocking(qint32 adr, quint8 p)
{
    writeByte(adr, p);
    return takeWriteAcknowledgement();
}

bool csrdrv::writeQuadletBlocking(qint32 adr, qint32 value)
{
    sendWrite(adr, bigEndianQuadlet(quint32(value)));
    return takeWriteAcknowledgement();
}

bool csrdrv::writeFloatBlocking(qint32 adr, float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    sendWrite(adr, bigEndianQuadlet(bits));
    return takeWriteAcknowledgement();
}

// Only a status packet answers a write; its code is 0 when the board took it.
bool csrdrv::takeWriteAcknowledgement()
{
    if (!waitPacket())
        return false;
    if (m_lastReceived->packetType() == 8 && m_lastReceived->statusPacketType() == 0)
        return true;
    m_lastFailure = Failure::WriteRefused;
    return false;
}

void csrdrv::readByte(qint32 adr)
{
    sendRead(adr, 0);
}

bool csrdrv::takeReadResponse(int sizeCode, QByteArray &data)
{
    if (!waitPacket())
        return false;
    const PacketRef &packet = m_lastReceived;
    if (packet->packetType() != 6 || packet->operandSize() != sizeCode)
        return false;
    data.clear();
    for (int i = 0; i < packet->varLength(); ++i)
        data.append(char(packet->dataBufferByte(i)));
    return true;
}

bool csrdrv::readByteBlocking(qint32 adr, quint8 &data)
{
    sendRead(adr, 0);
    QByteArray bytes;
    if (!takeReadResponse(0, bytes))
        return false;
    data = quint8(bytes[0]);
    return true;
}

bool csrdrv::readFloatBlocking(qint32 adr, float &data)
{
    sendRead(adr, 1);
    QByteArray bytes;
    if (!takeReadResponse(1, bytes))
        return false;
    std::reverse(bytes.begin(), bytes.end()); // wire order to memory order
    data = BytesToSingle(bytes);
    return true;
}

bool csrdrv::readBlock(qint32 adr, int length)
{
    if (length < 1 || length > csr232packet::MaxDataLength)
        return false;
    setAddress(adr);
    PacketRef packet = makeRequest(2);
    packet->setVarLength(length);
    if (!m_blockReads.request(packet->addressBytes(), length))
        return false;
    sendPacket(packet);
    return true;
}

static quint32 littleEndianQuadlet(const QByteArray &bytes)
{
    if (bytes.size() < 4)
        throw NuvarDriverError("A quadlet needs 4 bytes");
    return qFromLittleEndian<quint32>(bytes.constData());
}

qint32 csrdrv::BytesToLong(const QByteArray &TheArray)
{
    return qint32(littleEndianQuadlet(TheArray));
}

float csrdrv::BytesToSingle(const QByteArray &TheArray)
{
    const quint32 bits = littleEndianQuadlet(TheArray);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
