// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// CRC-16 of the board's serial packets: polynomial 0x1021, most significant bit
// first, initial value 0, no reflection, no final XOR. Running a packet with its
// appended CRC (high byte first) through the register leaves 0.
quint16 crc16Update(quint16 crc, quint8 byte);
quint16 crc16(QByteArrayView bytes, quint16 crc = 0);
