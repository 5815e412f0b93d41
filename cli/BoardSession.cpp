// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardSession.h"

#include "AcquisitionControl.h"
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
    m_watchdog.setSingleShot(true);
    QObject::connect(&m_watchdog, &QTimer::timeout, [this] {
        finish(Outcome::Failed, QStringLiteral("the board stopped reporting (no event for %1 s)").arg(m_watchdog.interval() / 1000));
    });
}

BoardSession::Outcome BoardSession::acquireBlock(bool configure, std::vector<std::int32_t> &block, QString &problem)
{
    m_block = &block;
    m_finished = false;
    m_problem.clear();
    m_retries = 0;
    // The board reports progress while it acquires, but a slow rate makes a
    // long block: allow for its own duration too.
    const double rate = std::max(m_driver.SampleRate(), 1.0);
    const auto *settings = dynamic_cast<const kz7305Settings *>(&m_driver);
    const double conversionsPerSample = settings ? double(1 << settings->averages()) : 1.0;
    m_watchdog.setInterval(QuietLimitMs + int(std::min(m_driver.Samples() * conversionsPerSample / rate * 1000.0, 3.6e6)));
    try {
        if (configure) {
            m_driver.setTriggerType(TRIGGER_NONE);
            m_driver.Configure();
            if (m_driver.Status() == STATUS_ERROR) {
                problem = withCause(QStringLiteral("the board's settings could not be written"));
                return Outcome::Failed;
            }
        }
        m_watchdog.start();
        m_driver.StartAcquisition();
    } catch (const std::exception &error) {
        problem = QString::fromLocal8Bit(error.what());
        return Outcome::Failed;
    }
    if (!m_finished) {
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
    if (!m_finished)
        finish(Outcome::Interrupted, QStringLiteral("interrupted"));
}

void BoardSession::finish(Outcome outcome, const QString &problem)
{
    if (m_finished)
        return;
    m_finished = true;
    m_outcome = outcome;
    m_problem = problem;
    if (m_loop)
        m_loop->quit();
}

void BoardSession::startReception()
{
    try {
        m_driver.StartDataReceive(0, m_driver.Samples());
    } catch (const std::exception &error) {
        finish(Outcome::Failed, QString::fromLocal8Bit(error.what()));
    }
}

void BoardSession::receptionFinished()
{
    try {
        m_block->assign(std::size_t(m_driver.Samples()), 0);
        m_driver.GetData(*m_block);
        finish(Outcome::Received);
    } catch (const std::exception &error) {
        finish(Outcome::Failed, QString::fromLocal8Bit(error.what()));
    }
}

QString BoardSession::withCause(const QString &what) const
{
    const QString cause = m_driver.LastError();
    return cause.isEmpty() ? what : what + QStringLiteral(": ") + cause;
}

void BoardSession::DriverEvent(EventEnum evType)
{
    if (m_finished || evType >= EVENT_COMM_IDLE)
        return; // the link's waits run the event loop themselves
    m_watchdog.start();
    switch (evType) {
    case EVENT_ACQ_START:
        m_progress.acquiring(0, m_driver.Samples());
        break;
    case EVENT_ACQ_CONT:
        m_progress.acquiring(m_driver.CurrentSample(), m_driver.Samples());
        break;
    case EVENT_ACQ_FINISH:
        m_retries = 0;
        startReception();
        break;
    case EVENT_ACQ_ERROR:
        finish(Outcome::Failed, withCause(QStringLiteral("the acquisition failed")));
        break;
    case EVENT_RX_START:
        m_progress.receiving(0, m_driver.Samples());
        break;
    case EVENT_RX_CONT:
        m_progress.receiving(m_driver.SamplesReceived(), m_driver.Samples());
        break;
    case EVENT_RX_FINISH:
        m_progress.receiving(m_driver.Samples(), m_driver.Samples());
        receptionFinished();
        break;
    case EVENT_RX_ERROR:
        if (m_retries < AcquisitionControl::MaxRetries) {
            ++m_retries;
            m_progress.note(withCause(QStringLiteral("a block could not be received"))
                            + QStringLiteral("; receiving again (%1 of %2)").arg(m_retries).arg(AcquisitionControl::MaxRetries));
            startReception();
        } else {
            finish(Outcome::Failed, withCause(QStringLiteral("reception failed after %1 retries").arg(AcquisitionControl::MaxRetries)));
        }
        break;
    default:
        break;
    }
}
