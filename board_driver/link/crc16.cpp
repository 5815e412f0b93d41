// SPDX-License-Identifier: GPL-3.0-or-later
#include "crc16.h"

quint16 crc16Update(quint16 crc, quint8 byte)
{
    crc ^= quint16(byte << 8);
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    return crc;
}

quint16 crc16(QByteArrayView bytes, quint16 crc)
{
    for (char c : bytes)
        crc = crc16Update(crc, quint8(c));
    return crc;
}
