// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminalText.h"

#include <QJsonDocument>

namespace TerminalText {

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

} // namespace

QString printable(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (isControl(c.unicode()))
            shown += QLatin1String("\\x") + QString::number(c.unicode(), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            shown += c;
    }
    return shown;
}

QByteArray printableJson(const QByteArray &json)
{
    QByteArray shown;
    shown.reserve(json.size());
    for (qsizetype i = 0; i < json.size(); ++i) {
        const auto byte = static_cast<unsigned char>(json[i]);
        // U+0080 .. U+009F are C2 80 .. C2 9F in UTF-8.
        const auto next = i + 1 < json.size() ? static_cast<unsigned char>(json[i + 1]) : 0;
        const bool c1 = byte == 0xC2 && next >= 0x80 && next <= 0x9F;
        if (byte == 0x7F || c1) {
            shown += "\\u00" + QByteArray::number(c1 ? next : byte, 16);
            i += c1 ? 1 : 0;
        } else {
            shown += json[i];
        }
    }
    return shown;
}

void printJsonLine(QTextStream &out, const QJsonObject &object)
{
    out << printableJson(QJsonDocument(object).toJson(QJsonDocument::Compact)) << '\n';
}

} // namespace TerminalText
