// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTextStream>

// Progress of the acquisition on stderr: a bar redrawn in place when stderr is
// a terminal, otherwise one line per stage, so logs stay readable.
class ProgressDisplay
{
public:
    explicit ProgressDisplay(QTextStream &err, bool terminal);

    void beginBlock(int block);
    // A step named in words ("point 2 of 8, block 1 of 3") in place of "block N".
    void beginStep(const QString &label);
    void acquiring(int done, int total);
    void receiving(int done, int total);
    // A message of its own line, e.g. a retry.
    void note(const QString &text);
    // Ends the bar's line.
    void endBlock();

private:
    void show(const char *stage, int done, int total);

    QTextStream &m_err;
    bool m_terminal;
    QString m_label;
    const char *m_stage = nullptr;
    bool m_barShown = false;
};
