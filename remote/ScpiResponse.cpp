// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScpiResponse.h"

#include <QString>
#include <QtEndian>

QByteArray ScpiResponse::number(double value)
{
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray ScpiResponse::definiteBlock(const QByteArray &bytes)
{
    const QByteArray length = QByteArray::number(bytes.size());
    return '#' + QByteArray::number(length.size()) + length + bytes;
}

QByteArray ScpiResponse::codeBlock(std::span<const std::int32_t> codes)
{
    QByteArray bytes(qsizetype(codes.size() * sizeof(std::int32_t)), Qt::Uninitialized);
    qToLittleEndian<std::int32_t>(codes.data(), qsizetype(codes.size()), bytes.data());
    return definiteBlock(bytes);
}

QByteArray ScpiResponse::codeList(std::span<const std::int32_t> codes)
{
    QByteArray text;
    text.reserve(qsizetype(codes.size()) * 9);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (i > 0)
            text.append(',');
        text.append(QByteArray::number(codes[i]));
    }
    return text;
}
