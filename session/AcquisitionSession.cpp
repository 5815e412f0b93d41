// SPDX-License-Identifier: GPL-3.0-or-later
#include "AcquisitionSession.h"

#include "DriverBlock.h"
#include "NuvarDriverClass.h"

#include <exception>

AcquisitionSession::AcquisitionSession(QObject *parent)
    : QObject(parent)
{
}

void AcquisitionSession::setDriver(NuvarDriverClass *driver)
{
    m_driver = driver;
    m_running = false;
}

template <typename F>
bool AcquisitionSession::tryDriver(F &&f)
{
    try {
        callDriver(std::forward<F>(f));
        return true;
    } catch (const std::exception &error) {
        fail(Failure::DriverError, QString::fromLocal8Bit(error.what()));
        return false;
    }
}

bool AcquisitionSession::start(std::int32_t samples, bool configure)
{
    if (!m_driver)
        return false;
    m_running = true;
    m_retries = 0;
    if (configure) {
        const bool configured = tryDriver([this, samples] {
            m_driver->setSamples(samples);
            m_driver->setTriggerType(TRIGGER_NONE);
            m_driver->Configure();
        });
        if (!configured || !m_running)
            return false; // failed, or cancelled while the settings were written
        // A board that missed its settings would acquire with stale ones.
        if (m_driver->Status() == STATUS_ERROR) {
            fail(Failure::ConfigurationFailed);
            return false;
        }
    }
    return tryDriver([this] { m_driver->StartAcquisition(); }) && m_running;
}

void AcquisitionSession::cancel()
{
    // A call waiting for the board is ended too, block or not.
    if (!m_driver || (!m_running && !busy()))
        return;
    m_running = false;
    try {
        callDriver([this] {
            m_driver->AbortAcquisition();
            m_driver->AbortDataReceive();
        });
    } catch (const std::exception &) {
        // Whatever the driver thinks, this block is no longer followed.
    }
}

void AcquisitionSession::startReception()
{
    tryDriver([this] { m_driver->StartDataReceive(ReceivedChannel, m_driver->Samples()); });
}

void AcquisitionSession::finishReception()
{
    SampleBlock block;
    if (!tryDriver([this, &block] { block = DriverBlock::fetch(*m_driver, ReceivedChannel); }))
        return;
    m_running = false;
    emit blockReady(block);
}

void AcquisitionSession::fail(Failure failure, const QString &cause)
{
    m_running = false;
    emit failed(failure, cause.isEmpty() && m_driver ? m_driver->LastError() : cause);
}

QString AcquisitionSession::withCause(const QString &what, const QString &cause)
{
    return cause.isEmpty() ? what : what + QStringLiteral(": ") + cause;
}

QString AcquisitionSession::failureText(Failure failure, const QString &cause)
{
    switch (failure) {
    case Failure::ConfigurationFailed:
        return withCause(QStringLiteral("The board's settings could not be written"), cause);
    case Failure::AcquisitionError:
        return withCause(QStringLiteral("The acquisition failed"), cause);
    case Failure::NoReception:
        return withCause(QStringLiteral("Reception failed after %1 retries").arg(MaxRetries), cause);
    case Failure::DriverError:
        break;
    }
    return cause;
}

void AcquisitionSession::driverEvent(EventEnum evType)
{
    if (!m_driver || !m_running || evType > EVENT_RX_ERROR)
        return;
    const int total = m_driver->Samples();
    switch (evType) {
    case EVENT_ACQ_START:
        emit stageReached(Stage::AcquisitionStarted, 0, total);
        break;
    case EVENT_ACQ_CONT:
        emit stageReached(Stage::Acquiring, m_driver->CurrentSample(), total);
        break;
    case EVENT_ACQ_FINISH:
        emit stageReached(Stage::AcquisitionComplete, total, total);
        m_retries = 0;
        startReception();
        break;
    case EVENT_ACQ_ERROR:
        fail(Failure::AcquisitionError);
        break;
    case EVENT_RX_START:
        emit stageReached(Stage::ReceptionStarted, 0, total);
        break;
    case EVENT_RX_CONT:
        emit stageReached(Stage::Receiving, m_driver->SamplesReceived(), total);
        break;
    case EVENT_RX_FINISH:
        emit stageReached(Stage::Receiving, total, total);
        finishReception();
        break;
    case EVENT_RX_ERROR:
        if (m_retries < MaxRetries) {
            emit retrying(++m_retries, m_driver->LastError());
            startReception();
        } else {
            fail(Failure::NoReception);
        }
        break;
    default:
        break;
    }
}

void AcquisitionSession::enterCall()
{
    if (m_callDepth++ == 0)
        emit busyChanged(true);
}

void AcquisitionSession::leaveCall()
{
    if (--m_callDepth == 0)
        emit busyChanged(false);
}
