// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardSession.h"

#include "NuvarDriverClass.h"
#include "ProgressDisplay.h"
#include "kz7305Settings.h"

#include <algorithm>

namespace {

// Longest quiet spell after which the board is taken as gone: above the
// longest exchange the driver may run without an event (a block request sent
// three times, with the guard times between), so its own resends come first.
constexpr int QuietLimitMs = 40000;

} // namespace

BoardSession::BoardSession(NuvarDriverClass &driver, ProgressDisplay &progress)
    : m_driver(driver)
    , m_progress(progress)
{
    m_session.setDriver(&driver);
    m_watchdog.setSingleShot(true);
    QObject::connect(&m_watchdog, &QTimer::timeout, [this] {
        finish(Outcome::Failed, QStringLiteral("the board stopped reporting (no event for %1 s)").arg(m_watchdog.interval() / 1000));
    });
    QObject::connect(&m_session, &AcquisitionSession::stageReached,
                     [this](AcquisitionSession::Stage stage, int done, int total) { showStage(stage, done, total); });
    QObject::connect(&m_session, &AcquisitionSession::retrying, [this](int retry, const QString &cause) {
        m_progress.note(AcquisitionSession::withCause(QStringLiteral("a block could not be received"), cause) +
                        QStringLiteral("; receiving again (%1 of %2)").arg(retry).arg(AcquisitionSession::MaxRetries));
    });
    QObject::connect(&m_session, &AcquisitionSession::blockReady, [this](const SampleBlock &block) {
        *m_block = block;
        finish(Outcome::Received);
    });
    QObject::connect(&m_session, &AcquisitionSession::failed,
                     [this](AcquisitionSession::Failure failure, const QString &cause) { fail(failure, cause); });
}

BoardSession::Outcome BoardSession::acquireBlock(std::int32_t samples, bool configure, SampleBlock &block,
                                                 QString &problem)
{
    m_block = &block;
    m_finished = false;
    m_problem.clear();
    // The board reports progress while it acquires, but a slow rate makes a
    // long block: allow for its own duration too, 2^n conversions a sample.
    const double rate = std::max(m_driver.SampleRate(), 1.0);
    const auto *settings = dynamic_cast<const kz7305Settings *>(&m_driver);
    const double conversionsPerSample = settings ? double(1 << settings->averages()) : 1.0;
    m_watchdog.setInterval(QuietLimitMs + int(std::min(samples * conversionsPerSample / rate * 1000.0, 3.6e6)));
    m_watchdog.start();
    if (m_session.start(samples, configure) && !m_finished) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
    }
    m_watchdog.stop();
    problem = m_problem;
    return m_outcome;
}

void BoardSession::interrupt()
{
    if (m_finished)
        return;
    // Settings still being written for the block wait no longer either.
    m_session.cancel();
    finish(Outcome::Interrupted, QStringLiteral("interrupted"));
}

void BoardSession::finish(Outcome outcome, const QString &problem)
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

void BoardSession::fail(AcquisitionSession::Failure failure, const QString &cause)
{
    finish(Outcome::Failed, AcquisitionSession::failureText(failure, cause));
}

void BoardSession::showStage(AcquisitionSession::Stage stage, int done, int total)
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

void BoardSession::DriverEvent(EventEnum evType)
{
    if (m_finished || evType >= EVENT_COMM_IDLE)
        return; // the link's waits run the event loop themselves
    m_watchdog.start();
    m_session.driverEvent(evType);
}
