// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// One direction of a serial line at a fixed baud rate: bytes handed to it come
// out when the line has carried them, 10 bits (start, 8 data, stop) each. The
// schedule is kept against a monotonic clock from the moment the line became
// busy, so timer rounding delays a byte by at most a millisecond and never
// accumulates. At rate 0 bytes pass at once.
class LinePacer : public QObject
{
    Q_OBJECT

public:
    explicit LinePacer(int baud, QObject *parent = nullptr);

    void append(const QByteArray &bytes);
    bool isIdle() const { return m_pending.isEmpty(); }
    // Forgets the bytes not yet carried (the line was cut).
    void clear();

signals:
    void carried(const QByteArray &bytes);

private:
    void release();
    void scheduleNext();

    int m_baud;
    QByteArray m_pending;
    QElapsedTimer m_clock;
    qint64 m_busySinceNs = 0; // when the line began carrying the pending bytes' run
    qint64 m_carriedInRun = 0; // bytes of that run already carried
    QTimer m_timer;
};
