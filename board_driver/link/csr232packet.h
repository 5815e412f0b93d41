// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

// One packet of the board's serial register protocol. A packet is either filled
// through its setters and turned into wire bytes by buildPacket(), or assembled
// from received bytes fed one at a time to parse() until state() is final.
// Setters and buildPacket() throw std::invalid_argument for values that do not
// fit the wire format or the stores; nothing is ever written past a store.
class csr232packet
{
public:
    static constexpr int MaxDataLength = 256;
    static constexpr int DataBufferSize = 271;
    static constexpr int NoLockFunction = 16;

    // Parser states.
    enum State { Empty = 0, HeaderReceived = 1, Receiving = 2, Complete = 3, BadCrc = 4 };

    int packetType() const { return m_packetType; }
    void setPacketType(int p) { m_packetType = p; }
    int operandSize() const { return m_operandSize; }
    void setOperandSize(int p);
    quint16 varLength() const { return m_varLength; }
    void setVarLength(int p);
    QByteArray addressBytes() const;
    void setAddressBytes(const QByteArray &bytes);
    int adrEncoding() const { return m_adrEncoding; }
    void setAdrEncoding(int p);
    int lockFunction() const { return m_lockFunction; }
    void setLockFunction(int p) { m_lockFunction = p; }
    QByteArray lockDataBytes() const;
    void setLockDataBytes(const QByteArray &bytes);
    QByteArray lockArgBytes() const;
    void setLockArgBytes(const QByteArray &bytes);
    int statusPacketType() const { return m_statusPacketType; }
    void setStatusPacketType(int p);

    QByteArray payload() const { return m_payload; }
    int payloadSize() const { return m_payloadSize; }
    void setPayloadSize(int s);
    void setPayloadByte(int offset, quint8 value);
    void setPayload(const QByteArray &bytes);

    bool isRequest() const { return m_packetType >= 0 && m_packetType <= 3; }
    void buildPacket();
    int packetLength() const { return m_packetLength; }
    QByteArray dataBuffer() const;
    quint8 dataBufferByte(int offset) const;

    void parse(quint8 c);
    int state() const { return m_state; }

    // Data length of a fixed size code, or 0 for the variable code 8 and for
    // unassigned codes.
    static int sizeCodeLength(int code);
    static bool isAssignedSizeCode(int code) { return code == 8 || sizeCodeLength(code) > 0; }

private:
    using Store8 = std::array<quint8, 8>;
    enum class Target { None, Address, LockData, LockArg, Data };
    enum class Decision { Header, Address, LockData, LockArg, Length, Data, Crc };

    static void copyInto(Store8 &store, const QByteArray &bytes);
    void append(quint8 byte);
    void appendStore(const Store8 &store, int from, int to);
    void appendPayload();
    int addressLength() const { return m_adrEncoding == 1 ? 2 : 8; }
    void requireLockFunction() const;
    void requireVariableLength() const;

    void expect(int size, Decision decision, Target target = Target::None, int index = 0);
    void decide();
    void decideHeader();
    void decideAddress();
    void decideLength();
    void expectLockField(Decision decision, Store8 &store);
    void expectData();

    int m_packetType = 8;
    int m_operandSize = 0;
    quint16 m_varLength = 1;
    int m_adrEncoding = 0;
    int m_lockFunction = NoLockFunction;
    Store8 m_address{};
    Store8 m_lockData{};
    Store8 m_lockArg{};
    QByteArray m_payload;
    int m_payloadSize = 0;
    int m_statusPacketType = 0;
    int m_packetLength = 0;
    std::array<quint8, DataBufferSize> m_buffer{};

    // Parser registers.
    quint8 m_header = 0;
    quint8 m_current = 0;
    quint16 m_crc = 0;
    int m_fieldSize = 1;
    int m_fieldCount = 0;
    Decision m_decision = Decision::Header;
    Target m_target = Target::None;
    int m_targetIndex = 0;
    int m_state = Empty;
};
