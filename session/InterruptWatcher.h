// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM (Ctrl+C, logout, kill) into the signal
// interrupted(), delivered by the event loop, so a wait can end cleanly and
// the program can end as File > Exit ends it, instead of dying mid-file. The
// handler only writes a byte to a pipe that the event loop reads.
class InterruptWatcher : public QObject
{
    Q_OBJECT

public:
    explicit InterruptWatcher(QObject *parent = nullptr);
    ~InterruptWatcher() override;

    bool wasInterrupted() const { return m_interrupted; }

signals:
    void interrupted();

private:
    QSocketNotifier *m_notifier = nullptr;
    bool m_interrupted = false;
};
