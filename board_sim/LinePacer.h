// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

// One direction of a serial line at a fixed baud rate: bytes handed to it come
// out when the line has carried them, 10 bits (start, 8 data, stop) each. The
// schedule is kept against a monotonic clock from the moment the line became
// busy, so a late timer delays bytes but never the schedule. At rate 0 bytes
// pass at once.
class LinePacer : public QObject
{
    Q_OBJECT

public:
    explicit LinePacer(int baud, QObject *parent = nullptr);

    // The monotonic clock of every line, in nanoseconds.
    static qint64 clockNs();

    // Bytes that enter the line at enteredNs on the clock (not in the future),
    // or as soon as the bytes before them have gone out.
    void append(const QByteArray &bytes, qint64 enteredNs);
    void append(const QByteArray &bytes) { append(bytes, clockNs()); }
    // When the line finished carrying the last bytes it gave out, on the clock.
    qint64 lastCarriedNs() const { return m_lastCarriedNs; }
    // Forgets the bytes not yet carried (the line was cut).
    void clear();

signals:
    void carried(const QByteArray &bytes);

private:
    void release();
    void scheduleNext();

    int m_baud;
    QByteArray m_pending;
    qint64 m_busySinceNs = 0; // when the line began carrying the pending bytes' run
    qint64 m_carriedInRun = 0; // bytes of that run already carried
    qint64 m_lastCarriedNs = 0;
    QTimer m_timer;
};
