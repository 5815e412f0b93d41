// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverEvents.h"

#include <QEventLoop>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <vector>

class NuvarDriverClass;
class ProgressDisplay;

// Acquires blocks through the driver contract as the program does: configure,
// start, follow the progress, receive on completion, retry an unanswered
// reception, fetch the samples. It is the driver's event sink and waits for
// the events in the event loop.
class BoardSession : public NuvarDriverEvents
{
public:
    enum class Outcome { Received, Failed, Interrupted };

    BoardSession(NuvarDriverClass &driver, ProgressDisplay &progress);

    // One block of the driver's Samples. With configure, the driver writes its
    // settings to the board first (the first block); later blocks only start.
    // On failure, problem says what went wrong in one line.
    Outcome acquireBlock(bool configure, std::vector<std::int32_t> &block, QString &problem);
    // Ends the wait of acquireBlock with Interrupted.
    void interrupt();

    void DriverEvent(EventEnum evType) override;

private:
    void finish(Outcome outcome, const QString &problem = {});
    void startReception();
    void receptionFinished();
    // what, followed by the driver's account of its latest failure.
    QString withCause(const QString &what) const;

    NuvarDriverClass &m_driver;
    ProgressDisplay &m_progress;
    QEventLoop *m_loop = nullptr;
    QTimer m_watchdog;
    std::vector<std::int32_t> *m_block = nullptr;
    Outcome m_outcome = Outcome::Failed;
    QString m_problem;
    bool m_finished = true;
    int m_retries = 0;
};
