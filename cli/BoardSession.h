// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AcquisitionSession.h"
#include "NuvarDriverEvents.h"

#include <QEventLoop>
#include <QString>
#include <QTimer>

class ProgressDisplay;

// Acquires blocks through the acquisition session as the program does, and
// waits for each in the event loop. It is the driver's event sink.
class BoardSession : public NuvarDriverEvents
{
public:
    enum class Outcome { Received, Failed, Interrupted };

    BoardSession(NuvarDriverClass &driver, ProgressDisplay &progress);

    // One block of samples. With configure, the driver writes its settings to
    // the board first (the first block); later blocks only start. On failure,
    // problem says what went wrong in one line.
    Outcome acquireBlock(std::int32_t samples, bool configure, SampleBlock &block, QString &problem);
    // Ends the wait of acquireBlock with Interrupted.
    void interrupt();

    void DriverEvent(EventEnum evType) override;

private:
    void finish(Outcome outcome, const QString &problem = {});
    void showStage(AcquisitionSession::Stage stage, int done, int total);
    void fail(AcquisitionSession::Failure failure, const QString &cause);

    NuvarDriverClass &m_driver;
    ProgressDisplay &m_progress;
    AcquisitionSession m_session;
    QEventLoop *m_loop = nullptr;
    QTimer m_watchdog;
    SampleBlock *m_block = nullptr;
    Outcome m_outcome = Outcome::Failed;
    QString m_problem;
    bool m_finished = true;
};
