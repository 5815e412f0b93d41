// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AcquisitionSession.h"

#include <QEventLoop>
#include <QString>
#include <QTimer>

class BoardSession;
class ProgressDisplay;

// Acquires the blocks of the tool's run through the board session, one at a
// time, and waits for each in the event loop; a board that stops reporting
// ends the wait.
class BlockAcquirer
{
public:
    enum class Outcome { Received, Failed, Interrupted };

    // conversionsPerSample: how many conversions the board averages into one
    // sample, which makes a block take that much longer.
    BlockAcquirer(BoardSession &board, ProgressDisplay &progress, int conversionsPerSample);
    // Frees the board.
    ~BlockAcquirer();

    // One block of samples. The first takes the board and has the driver
    // write its settings to it; later ones only start. On failure, problem
    // says what went wrong in one line.
    Outcome acquireBlock(std::int32_t samples, bool first, SampleBlock &block, QString &problem);
    // Ends the wait of acquireBlock with Interrupted.
    void interrupt();

private:
    void finish(Outcome outcome, const QString &problem = {});
    void showStage(AcquisitionSession::Stage stage, int done, int total);
    void fail(AcquisitionSession::Failure failure, const QString &cause);
    // An event of the block under way: the board still reports.
    void heardFromBoard();

    BoardSession &m_board;
    AcquisitionSession &m_session;
    ProgressDisplay &m_progress;
    int m_conversionsPerSample;
    QObject m_receiver; // the session's signals reach this object while it lives
    QEventLoop *m_loop = nullptr;
    QTimer m_watchdog;
    SampleBlock *m_block = nullptr;
    Outcome m_outcome = Outcome::Failed;
    QString m_problem;
    bool m_finished = true;
};
