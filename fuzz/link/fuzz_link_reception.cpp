// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes into the packet parser and the link's reception path: no
// crash, no read or write past a store, and every received byte accounted for.
#include "csr232packet.h"
#include "packetAssembler.h"

#include <cstdint>
#include <cstdlib>
#include <exception>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void parseOneByOne(const uint8_t *data, size_t size)
{
    csr232packet packet;
    for (size_t i = 0; i < size; ++i) {
        packet.parse(data[i]);
        check(packet.state() >= 0 && packet.state() <= 4);
        check(packet.packetLength() <= 268 && packet.varLength() <= 256);
        if (packet.state() >= csr232packet::Complete)
            packet = csr232packet();
    }
}

void receiveInChunks(const uint8_t *data, size_t size)
{
    packetAssembler assembler;
    QList<PacketRef> completed;
    // The first byte chooses how the stream is cut into reads.
    const size_t chunk = size ? 1 + data[0] % 64 : 1;
    for (size_t at = 0; at < size; at += chunk) {
        const size_t n = at + chunk <= size ? chunk : size - at;
        assembler.feed(QByteArrayView(reinterpret_cast<const char *>(data + at), qsizetype(n)), completed);
    }
    assembler.flush(completed);
    quint64 accounted = assembler.droppedBytes();
    for (const PacketRef &p : completed) {
        check(p->state() == csr232packet::Complete);
        accounted += quint64(p->packetLength());
    }
    check(accounted == size);
}

void buildThenParse(const uint8_t *data, size_t size)
{
    if (size < 4)
        return;
    csr232packet out;
    out.setPacketType(data[0] % 10);
    out.setLockFunction(data[1] % 17);
    out.setStatusPacketType(data[1] % 16);
    out.setPacketType(data[0] % 10);
    out.setAdrEncoding(data[2] & 1);
    out.setAddressBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size < 8 ? size : 8)));
    out.setPayload(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size < 256 ? size : 256)));
    out.setPayloadSize(int(size));
    try {
        if (data[3] & 0x80)
            out.setVarLength(data[3] & 0x7F ? (data[3] & 0x7F) * 2 : 0);
        else
            out.setOperandSize(data[3] % 16);
        out.buildPacket();
    } catch (const std::exception &) {
        return;
    }
    if (out.packetLength() == 0)
        return;
    csr232packet in;
    for (char c : out.dataBuffer())
        in.parse(quint8(c));
    check(in.state() == csr232packet::Complete);
    check(in.packetType() == out.packetType());
    check(in.packetLength() == out.packetLength());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    parseOneByOne(data, size);
    receiveInChunks(data, size);
    buildThenParse(data, size);
    return 0;
}
