// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QTextStream>

// Texts that come from files (a device name) or file names reach a terminal
// only as text: each control character (C0, DEL, C1) is shown as \xHH, so no
// escape sequence of a hostile file acts on the terminal.
namespace TerminalText {

QString printable(const QString &text);
// UTF-8 JSON with DEL and the C1 controls escaped as \u00HH too (the JSON
// writer escapes only C0).
QByteArray printableJson(const QByteArray &json);
// object as one compact, printable JSON Lines line.
void printJsonLine(QTextStream &out, const QJsonObject &object);

} // namespace TerminalText
