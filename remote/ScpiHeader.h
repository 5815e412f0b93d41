// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

// A command header as the instrument defines it, "SYSTem:ERRor[:NEXT]?": each
// mnemonic in its long form with its short form in capitals (the characters
// before the first small letter), optional nodes in brackets, '?' for a query.
// A command matches when each of its mnemonics is the short or the long form
// of the node in its place, capitals or not.
class ScpiHeader
{
public:
    explicit ScpiHeader(const char *pattern);

    bool matches(const QList<QByteArray> &mnemonics, bool query) const;
    bool isQuery() const { return m_query; }

    // The short form of a mnemonic or a parameter word: "RECTangular" gives
    // "RECT", "BH7" itself.
    static QByteArray shortForm(const QByteArray &longForm);
    // Whether word (in any case) is the short or long form of choice.
    static bool isForm(const QByteArray &word, const QByteArray &choice);

private:
    struct Node {
        QByteArray longForm;  // in capitals
        QByteArray shortForm;
        bool optional = false;
    };
    bool matchFrom(const QList<QByteArray> &mnemonics, qsizetype mnemonic, qsizetype node) const;

    QList<Node> m_nodes;
    bool m_query = false;
};
