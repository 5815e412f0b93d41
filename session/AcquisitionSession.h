// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverEnums.h"
#include "SampleBlock.h"

#include <QObject>
#include <QString>
#include <cstdint>

class NuvarDriverClass;

// Drives the board driver from a start to a finished sample block: sets the
// count and trigger, writes the board's settings, starts the acquisition,
// follows the driver's events, receives on completion, receives again (from
// sample 0) when a reception fails, and fetches the block with its scale. No
// widgets: the window and the command-line tool show its signals their way.
// The board session, which owns it and the driver, hands it the driver's
// events (driverEvent()).
class AcquisitionSession : public QObject
{
    Q_OBJECT

public:
    // How often a failed reception is started again before the block is given up.
    static constexpr int MaxRetries = 3;
    // The contract's channel received: its first. A board with several inputs
    // chooses among them in its settings.
    static constexpr std::int16_t ReceivedChannel = 0;

    enum class Stage { AcquisitionStarted, Acquiring, AcquisitionComplete, ReceptionStarted, Receiving };
    enum class Failure {
        ConfigurationFailed, // the board's settings could not be written: nothing started
        AcquisitionError, // the driver reported the acquisition failed
        NoReception,      // every reception of the block failed
        DriverError,      // a call into the driver threw; the problem is its message
    };

    explicit AcquisitionSession(QObject *parent = nullptr);

    // what, followed by ": " and cause when there is one.
    static QString withCause(const QString &what, const QString &cause);
    // The sentence the window and the command line both show for a failure.
    static QString failureText(Failure failure, const QString &cause);

    // The driver acquisitions go to (nullptr: none); forgets a block under way.
    void setDriver(NuvarDriverClass *driver);
    NuvarDriverClass *driver() const { return m_driver; }
    // True from start() until the block is ready or has failed.
    bool running() const { return m_running; }

    // Starts one block of samples. With configure the board's settings are
    // written first (a first block); later blocks of a run only start. False
    // when nothing could be started (failed() has been emitted).
    bool start(std::int32_t samples, bool configure);
    // Stops following the block under way; its later events are ignored.
    void abandon() { m_running = false; }
    // Cancels the block under way on the board too: the driver forgets the
    // acquisition and the reception (AbortAcquisition, AbortDataReceive), so
    // nothing of it becomes a block, and a call waiting for the board returns
    // soon after. Nothing is emitted.
    void cancel();

    // The acquisition and reception events of the driver; others are ignored.
    void driverEvent(EventEnum evType);

    // True while a call into the driver is under way: its waits run the event
    // loop, so commands can arrive meanwhile.
    bool busy() const { return m_callDepth > 0; }
    // Runs f, a call into the driver, as busy. Rethrows what f throws.
    template <typename F>
    void callDriver(F &&f)
    {
        enterCall();
        try {
            f();
        } catch (...) {
            leaveCall();
            throw;
        }
        leaveCall();
    }

signals:
    void stageReached(AcquisitionSession::Stage stage, int done, int total);
    // A reception failed and starts again: retry of MaxRetries. cause is the
    // driver's account of the failure, empty when it gives none.
    void retrying(int retry, const QString &cause);
    void blockReady(const SampleBlock &block);
    // cause: the driver's account, or what the failed call threw.
    void failed(AcquisitionSession::Failure failure, const QString &cause);
    void busyChanged(bool busy);

private:
    // Runs f, a call into the driver; a throw ends the block as failed.
    template <typename F>
    bool tryDriver(F &&f);
    void startReception();
    void finishReception();
    // Ends the block; without a cause the driver's latest error is given.
    void fail(Failure failure, const QString &cause = {});
    void enterCall();
    void leaveCall();

    NuvarDriverClass *m_driver = nullptr;
    bool m_running = false;
    int m_retries = 0;
    int m_callDepth = 0;
};
