// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>

#include <deque>

// Tells which block read a read response answers. Read responses carry no
// address, only their length, so the length is a block read's tag: while an
// answer to a block read may still come, no other block read asks for that
// length, and an answer of that length is that read's and no other's.
//
// An answer may still come to:
// - the newest two block reads (a board that sends an answer twice sends the
//   copy before it answers the next request, which has another length);
// - any other block read sent more or fewer times than it was answered (lost,
//   late, resent, asked again after "not ready", given up), until the
//   late-answer window has passed since it was last sent;
// - a length nobody asked for that arrived anyway, for the same window.
class blockReadLedger
{
public:
    blockReadLedger();

    void setLateAnswerWindow(int ms) { m_windowMs = ms; }
    // A block read of length bytes from address is queued (again). False,
    // with nothing noted, when the length is another block read's.
    bool request(const QByteArray &address, int length);
    // The queued read of that length was written to the line.
    void sent(int length);
    // A read response of that length arrived, taken as its read's answer or
    // not. False when no block read may be answered with that length: the
    // answer is out of step, and its length is kept from new reads a while.
    bool answered(int length);
    // Block reads dropped before they were sent.
    void forgetUnsent();

    // The longest length up to maxLength, in whole units, that no block read
    // may still be answered with, starting from a length that changes from
    // one read to the next; 0 when every such length is taken.
    int freeLength(int maxLength, int unit);
    // How long until a taken length becomes free.
    int msUntilFree();

private:
    struct Read {
        QByteArray address;
        int length = 0;
        int sends = 0;
        int answers = 0;
        qint64 lastSentMs = 0;
        bool queued = false;
    };
    // Reads whose answers can no longer come are forgotten.
    void prune();
    bool expired(const Read &read, bool newest, qint64 now) const;
    Read *find(int length);

    std::deque<Read> m_reads; // oldest first
    QElapsedTimer m_clock;
    int m_windowMs = 30000;
    int m_rotation = 0;
};
