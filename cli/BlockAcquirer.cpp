// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockAcquirer.h"

#include "BoardSession.h"
#include "NuvarDriverClass.h"
#include "ProgressDisplay.h"

#include <algorithm>

namespace {

// Longest quiet spell after which the board is taken as gone: above the
// longest exchange the driver may run without an event (a block request sent
// three times, with the guard times between), so its own resends come first.
constexpr int QuietLimitMs = 40000;

// What the tool's run is called should the board be busy.
const QString RunName = QStringLiteral("an acquisition of the command-line tool");

} // namespace

BlockAcquirer::BlockAcquirer(BoardSession &board, ProgressDisplay &progress, int conversionsPerSample)
    : m_board(board)
    , m_session(board.acquisition())
    , m_progress(progress)
    , m_conversionsPerSample(conversionsPerSample)
{
    m_watchdog.setSingleShot(true);
    QObject::connect(&m_watchdog, &QTimer::timeout, [this] {
        finish(Outcome::Failed, QStringLiteral("the board stopped reporting (no event for %1 s)").arg(m_watchdog.interval() / 1000));
    });
    QObject::connect(&m_session, &AcquisitionSession::stageReached, &m_receiver,
                     [this](AcquisitionSession::Stage stage, int done, int total) {
                         heardFromBoard();
                         showStage(stage, done, total);
                     });
    QObject::connect(&m_session, &AcquisitionSession::retrying, &m_receiver, [this](int retry, const QString &cause) {
        heardFromBoard();
        m_progress.note(AcquisitionSession::withCause(QStringLiteral("a block could not be received"), cause) +
                        QStringLiteral("; receiving again (%1 of %2)").arg(retry).arg(AcquisitionSession::MaxRetries));
    });
    QObject::connect(&m_session, &AcquisitionSession::blockReady, &m_receiver, [this](const SampleBlock &block) {
        *m_block = block;
        finish(Outcome::Received);
    });
    QObject::connect(&m_session, &AcquisitionSession::failed, &m_receiver,
                     [this](AcquisitionSession::Failure failure, const QString &cause) { fail(failure, cause); });
}

BlockAcquirer::~BlockAcquirer()
{
    m_board.release(RunName);
}

BlockAcquirer::Outcome BlockAcquirer::acquireBlock(std::int32_t samples, bool first, SampleBlock &block,
                                                   QString &problem)
{
    if (first && !m_board.claim(RunName, &problem))
        return Outcome::Failed;
    m_block = &block;
    m_finished = false;
    m_problem.clear();
    // The board reports progress while it acquires, but a slow rate makes a
    // long block: allow for its own duration too.
    const double rate = std::max(m_board.driver()->SampleRate(), 1.0);
    m_watchdog.setInterval(QuietLimitMs + int(std::min(samples * double(m_conversionsPerSample) / rate * 1000.0, 3.6e6)));
    m_watchdog.start();
    if (m_board.startBlock(samples, first) && !m_finished) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
    }
    m_watchdog.stop();
    problem = m_problem;
    return m_outcome;
}

void BlockAcquirer::interrupt()
{
    if (m_finished)
        return;
    // Settings still being written for the block wait no longer either.
    m_session.cancel();
    finish(Outcome::Interrupted, QStringLiteral("interrupted"));
}

void BlockAcquirer::heardFromBoard()
{
    if (!m_finished)
        m_watchdog.start();
}

void BlockAcquirer::finish(Outcome outcome, const QString &problem)
{
    if (m_finished)
        return;
    m_finished = true;
    m_session.abandon();
    m_outcome = outcome;
    m_problem = problem;
    if (m_loop)
        m_loop->quit();
}

void BlockAcquirer::fail(AcquisitionSession::Failure failure, const QString &cause)
{
    finish(Outcome::Failed, AcquisitionSession::failureText(failure, cause));
}

void BlockAcquirer::showStage(AcquisitionSession::Stage stage, int done, int total)
{
    switch (stage) {
    case AcquisitionSession::Stage::AcquisitionStarted:
    case AcquisitionSession::Stage::Acquiring:
        m_progress.acquiring(done, total);
        break;
    case AcquisitionSession::Stage::AcquisitionComplete:
        break;
    case AcquisitionSession::Stage::ReceptionStarted:
    case AcquisitionSession::Stage::Receiving:
        m_progress.receiving(done, total);
        break;
    }
}
