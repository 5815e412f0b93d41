// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScpiHeader.h"

ScpiHeader::ScpiHeader(const char *pattern)
{
    QByteArray text(pattern);
    if (text.endsWith('?')) {
        m_query = true;
        text.chop(1);
    }
    // "SYSTem:ERRor[:NEXT]": the bracket holds the node with its colon.
    bool optional = false;
    QByteArray mnemonic;
    auto addNode = [&] {
        if (!mnemonic.isEmpty())
            m_nodes.append({mnemonic.toUpper(), shortForm(mnemonic), optional});
        mnemonic.clear();
    };
    for (const char c : text) {
        if (c == '[' || c == ':' || c == ']') {
            addNode();
            if (c == '[')
                optional = true;
            else if (c == ']')
                optional = false;
        } else {
            mnemonic.append(c);
        }
    }
    addNode();
}

QByteArray ScpiHeader::shortForm(const QByteArray &longForm)
{
    qsizetype end = 0;
    while (end < longForm.size() && !(longForm[end] >= 'a' && longForm[end] <= 'z'))
        ++end;
    return longForm.first(end);
}

bool ScpiHeader::isForm(const QByteArray &word, const QByteArray &choice)
{
    const QByteArray upper = word.toUpper();
    return upper == shortForm(choice) || upper == choice.toUpper();
}

bool ScpiHeader::matches(const QList<QByteArray> &mnemonics, bool query) const
{
    return query == m_query && matchFrom(mnemonics, 0, 0);
}

bool ScpiHeader::matchFrom(const QList<QByteArray> &mnemonics, qsizetype mnemonic, qsizetype node) const
{
    if (node == m_nodes.size())
        return mnemonic == mnemonics.size();
    const Node &expected = m_nodes[node];
    if (mnemonic < mnemonics.size()
        && (mnemonics[mnemonic] == expected.shortForm || mnemonics[mnemonic] == expected.longForm)
        && matchFrom(mnemonics, mnemonic + 1, node + 1))
        return true;
    return expected.optional && matchFrom(mnemonics, mnemonic, node + 1);
}
