// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into the signal interrupted(), delivered by the
// event loop, so a wait can end cleanly instead of the process dying mid-file.
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
