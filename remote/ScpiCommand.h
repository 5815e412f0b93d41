// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// One parameter as a command gave it: a bare word or number, or the text of a
// quoted string (quotes removed, doubled quotes made single).
struct ScpiParameter {
    QByteArray text;
    bool quoted = false;
};

// One command of a message, parsed: its header's mnemonics in capitals (a
// common command is one mnemonic that starts with '*'), whether it is a query,
// and its parameters.
struct ScpiCommand {
    QList<QByteArray> mnemonics;
    bool query = false;
    QList<ScpiParameter> parameters;
};

// A message unit: the command, or the error its text is (error != 0).
struct ScpiUnit {
    ScpiCommand command;
    int error = 0;
};

namespace ScpiParser {

// Splits one message (a line without its LF or CR LF) at the semicolons
// outside quoted strings and parses each unit from the root: a leading ':' is
// allowed, empty units are skipped. Any bytes at all may come in; a unit that
// is not a command becomes its error: -100 for bytes that are not printable
// ASCII outside quoted strings, -102 for a malformed header or parameter list.
QList<ScpiUnit> parse(QByteArrayView message);

} // namespace ScpiParser
