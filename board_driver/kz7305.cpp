// SPDX-License-Identifier: GPL-3.0-or-later
#include "kz7305.h"

#include "NuvarDriverError.h"
#include "NuvarDriverEvents.h"
#include "csrdrv.h"
#include "frmSetup.h"
#include "serialMonitor.h"
#include "serialMonitorVisibility.h"
#include "kz7305Internals.h"
#include "kz7305RegisterMap.h"
#include "stupidTimeoutMsg.h"

#include <QApplication>

#include <algorithm>
#include <array>

namespace {

using namespace kz7305RegisterMap;
using namespace kz7305Internals;

// Shared by every driver object of the library.
struct LibraryState {
    QString boardName;
    std::int32_t hWndParent = 0;
    std::array<QString, kz7305::ChannelNameCount> channelNames;
};

LibraryState &library()
{
    static LibraryState state;
    return state;
}

} // namespace

kz7305::kz7305()
    : m_link(new csrdrv)
{
    QObject::connect(m_link, &csrdrv::notificationReceived, m_link, [this] { linkNotificationReceived(); });
    QObject::connect(m_link, &csrdrv::responseReceived, m_link, [this] { linkResponseReceived(); });
    QObject::connect(m_link, &csrdrv::responseTimeout, m_link, [this] { linkResponseTimeout(); });
    m_blockLengthWait.setSingleShot(true);
    QObject::connect(&m_blockLengthWait, &QTimer::timeout, m_link, [this] {
        if (m_receiving)
            RequestNextBlock();
    });
    m_acquisitionWatchdog.setSingleShot(true);
    QObject::connect(&m_acquisitionWatchdog, &QTimer::timeout, m_link, [this] { acquisitionLost(); });
    // No completion can come over a closed port.
    QObject::connect(m_link, &csrdrv::portLost, m_link, [this] { acquisitionLost(); });
    // The monitor logs the line whether or not it is shown.
    if (windowsAvailable())
        serialMonitor::instance()->follow(m_link);
}

kz7305::~kz7305()
{
    m_lifetime.reset();
    m_acquisitionWatchdog.stop();
    m_blockLengthWait.stop();
    delete m_setupDialog.data();
    delete m_timeoutMsg.data();
    m_link->disconnect();
    m_link->setEventHandler(nullptr);
    // Destroyed from inside one of the link's own signals or waits: the link
    // still has code on the stack, so it goes once control is back in the loop.
    if (m_callDepth > 0)
        m_link->deleteLater();
    else
        delete m_link;
}

void kz7305::raise(EventEnum evType)
{
    if (m_events)
        m_events->DriverEvent(evType);
}

void kz7305::DriverOpen(NuvarDriverEvents &evInterface)
{
    m_currentSample = 0;
    m_events = &evInterface;
    m_vref = OnBoardReference;
    m_sampleRate = DefaultSampleRate;
    m_link->setEventHandler(&evInterface);
}

void kz7305::DriverClose()
{
    m_link->setEventHandler(nullptr);
    m_events = nullptr;
    // The driver's windows go with it: an open one would keep the program
    // running, and the monitor polling, after the main window has closed.
    if (windowsAvailable()) {
        serialMonitor::hideInstance();
        delete m_setupDialog.data();
    }
}

void kz7305::Setup()
{
    if (!windowsAvailable())
        throw NuvarDriverError("The board setup dialog needs a desktop session");
    CallScope scope(*this);
    const std::weak_ptr<int> token = m_lifetime;
    delete m_setupDialog.data();
    // Owned by the program's window (hWndParent), the dialog opens centred
    // above it and stays there; without one it is a window of its own.
    m_setupDialog = new frmSetup(ownerWindow());
    m_setupDialog->setTheCsrDrv(m_link);
    m_setupDialog->setup(*this);
    if (!alive(token) || !m_setupDialog)
        return;
    if (!m_setupDialog->portsFound()) {
        delete m_setupDialog.data();
        return;
    }
    m_setupDialog->setWindowTitle(QStringLiteral("KZ7305EVM Setup"));
    m_setupDialog->show();
    m_setupDialog->raise();
    m_setupDialog->activateWindow();
    serialMonitorVisibility::apply(m_showSerialMonitor);
}

QWidget *kz7305::ownerWindow()
{
    QWidget *owner = library().hWndParent != 0 ? QWidget::find(WId(quint32(library().hWndParent))) : nullptr;
    return owner ? owner->window() : nullptr;
}

void kz7305::setTriggerType(TriggerTypeEnum)
{
    // The board has no trigger.
}

void kz7305::runBlocking(const std::function<void()> &exchange)
{
    CallScope scope(*this);
    const std::weak_ptr<int> token = m_lifetime;
    ++m_blockingDepth;
    try {
        exchange();
    } catch (...) {
        if (alive(token))
            --m_blockingDepth;
        throw;
    }
    if (!alive(token))
        return;
    --m_blockingDepth;
}

void kz7305::requireOpenPort() const
{
    // Without a port every write would fail with a text that names no way out.
    if (!m_link->isOpen())
        throw NuvarDriverError("No serial port is open: choose one in Edit > EVM Setup");
}

void kz7305::Configure()
{
    requireOpenPort();
    const std::weak_ptr<int> token = m_lifetime;
    runBlocking([this, &token] {
        csrdrv &link = *m_link;
        link.setNodeID(BoardNode);
        link.setPage(ControlPage);
        const bool several = m_samples > 1;
        const std::array<std::function<bool()>, 7> writes = {
            [&] { return link.writeQuadletBlocking(RegReset, 0); },
            [&] { return link.writeQuadletBlocking(RegSamples, m_samples); },
            [&] { return link.writeQuadletBlocking(RegChannel, m_channel); },
            [&] { return !several || link.writeQuadletBlocking(RegBlockMode, 1); },
            [&] { return link.writeByteBlocking(RegAveraging, quint8(m_averages * 16)); },
            [&] { return link.writeByteBlocking(RegMode, several ? 3 : 1); },
            [&] { return link.writeFloatBlocking(RegSampleRate, float(m_sampleRate)); },
        };
        for (const auto &write : writes) {
            const bool written = write();
            if (!alive(token))
                return;
            if (!written) {
                m_status = STATUS_ERROR;
                noteLinkFailure();
                return;
            }
        }
    });
    if (alive(token))
        handleDeferredNotifications();
}

void kz7305::setSampleRate(double value)
{
    // Slower rates make acquisitions of hours; faster ones the converter cannot do.
    if (!(value >= MinSampleRate && value <= MaxSampleRate))
        throw NuvarDriverError(QStringLiteral("The sample rate must be %1 to %2 Hz; %3 Hz stays in force")
                                   .arg(MinSampleRate)
                                   .arg(MaxSampleRate)
                                   .arg(m_sampleRate)
                                   .toStdString());
    requireOpenPort();
    const std::weak_ptr<int> token = m_lifetime;
    runBlocking([this, value, &token] {
        m_link->setPage(ControlPage);
        const bool written = m_link->writeFloatBlocking(RegSampleRate, float(value));
        if (!alive(token))
            return;
        if (written)
            m_sampleRate = value;
        else
            noteLinkFailure();
    });
    if (alive(token))
        handleDeferredNotifications();
}

void kz7305::StartAcquisition()
{
    requireOpenPort();
    const std::weak_ptr<int> token = m_lifetime;
    // Armed first: the board may report completion before it acknowledges.
    m_acquiring = true;
    m_acquisitionWatchdog.start(acquisitionLimitMs());
    bool started = false;
    runBlocking([this, &started] {
        m_link->setPage(ControlPage);
        started = m_link->writeByteBlocking(RegStart, StartCommand);
    });
    if (!alive(token))
        return;
    CallScope scope(*this);
    if (!started) {
        m_acquiring = false;
        m_acquisitionWatchdog.stop();
        noteLinkFailure();
    }
    m_status = started ? STATUS_TRIGGERED : STATUS_ERROR;
    raise(started ? EVENT_ACQ_START : EVENT_ACQ_ERROR);
    if (alive(token))
        handleDeferredNotifications();
}

int kz7305::acquisitionLimitMs() const
{
    const double conversions = double(std::max(m_samples, 1)) * double(1 << m_averages);
    const double durationMs = conversions / std::max(m_sampleRate, 1.0) * 1000.0;
    return int(std::min(durationMs, 24.0 * 3600 * 1000)) + AcquisitionMarginMs;
}

void kz7305::acquisitionLost()
{
    if (!m_acquiring)
        return;
    if (m_blockingDepth > 0) {
        // A register call is waiting for the board: judge once it is done.
        m_acquisitionWatchdog.start(1000);
        return;
    }
    CallScope scope(*this);
    m_acquiring = false;
    m_acquisitionWatchdog.stop();
    m_lastError = m_link->isOpen() ? QStringLiteral("the board did not report the end of the acquisition")
                                   : m_link->failureText();
    m_status = STATUS_ERROR;
    raise(EVENT_ACQ_ERROR);
}

void kz7305::noteLinkFailure()
{
    m_lastError = m_link->failureText();
}

void kz7305::AbortAcquisition()
{
    // Settings still being written for it are given up too, so a program
    // closing or interrupted does not wait out a silent board's time-outs.
    if (m_blockingDepth > 0)
        m_link->abandonWaits();
    m_acquiring = false;
    m_acquisitionWatchdog.stop();
    m_status = STATUS_IDLE;
}

void kz7305::linkNotificationReceived()
{
    if (m_blockingDepth > 0) {
        // The packet may not be the oldest queued: the waiting exchange takes
        // its answer first.
        ++m_deferredNotifications;
        return;
    }
    CallScope scope(*this);
    handleNotification(m_link->takeNotification());
}

void kz7305::handleDeferredNotifications()
{
    const std::weak_ptr<int> token = m_lifetime;
    CallScope scope(*this);
    while (m_deferredNotifications > 0 && m_blockingDepth == 0 && alive(token)) {
        --m_deferredNotifications;
        handleNotification(m_link->takeNotification());
    }
}

void kz7305::handleNotification(const PacketRef &packet)
{
    // A stray or late report of an acquisition that is over says nothing.
    if (!packet || packet->packetType() != Notification || !m_acquiring)
        return;
    const std::weak_ptr<int> token = m_lifetime;
    switch (packet->dataBufferByte(0)) {
    case AcquisitionComplete:
        m_acquiring = false;
        m_acquisitionWatchdog.stop();
        m_currentSample = m_samples;
        raise(EVENT_ACQ_FINISH);
        if (alive(token))
            m_status = STATUS_IDLE;
        break;
    case AcquisitionProgress:
        if (packet->varLength() < 5)
            return; // no count in it
        m_currentSample = packet->dataBufferByte(3) * 256 + packet->dataBufferByte(4);
        raise(EVENT_ACQ_CONT);
        break;
    default:
        break;
    }
}

double kz7305::MinVolt(std::int16_t)
{
    return -m_vref;
}

std::int32_t kz7305::MinCode(std::int16_t)
{
    return ScaleMinCode;
}

double kz7305::MaxVolt(std::int16_t)
{
    return m_vref;
}

std::int32_t kz7305::MaxCode(std::int16_t)
{
    return ScaleMaxCode;
}

void kz7305::sethWndParent(std::int32_t value)
{
    library().hWndParent = value;
}

QString kz7305::ChannelName(std::int16_t Channel)
{
    if (Channel < 0 || Channel >= ChannelNameCount)
        throw NuvarDriverError("No channel " + std::to_string(Channel));
    return library().channelNames[std::size_t(Channel)];
}

void kz7305::setBoardName(const QString &value)
{
    library().boardName = value;
}

QString kz7305::BoardName()
{
    return library().boardName;
}

void kz7305::setAverages(std::int16_t value)
{
    if (value < 0 || value > MaxAverages)
        throw NuvarDriverError("Averaging " + std::to_string(value) + " is outside 0 to 15");
    m_averages = value;
}

std::uint16_t kz7305::portNumber() const
{
    return m_link->portNumber();
}

void kz7305::setPortNumber(std::uint16_t value)
{
    m_link->setPortNumber(value);
}

bool kz7305::isPortOpen() const
{
    return m_link->isOpen();
}
