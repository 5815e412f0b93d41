// SPDX-License-Identifier: GPL-3.0-or-later
#include "csrdrv.h"

#include "NuvarDriverError.h"
#include "NuvarDriverEvents.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QSerialPort>

#include <stdexcept>

namespace {

constexpr int NotificationType = 9;
constexpr int ReadResponseType = 6;
constexpr int StatusPacketType = 8;

bool isNotification(const csr232packet &packet)
{
    return packet.packetType() == NotificationType;
}

bool isBlockRead(const csr232packet &packet)
{
    return packet.packetType() == 2 && packet.operandSize() == 8;
}

bool isBlockData(const csr232packet &packet)
{
    return packet.packetType() == ReadResponseType && packet.operandSize() == 8;
}

// Whether answer can be the board's answer to request: a status packet answers
// anything (an acknowledgement, a refusal or "not ready"); a read response
// only a read of its size.
bool canAnswer(const csr232packet &request, const csr232packet &answer)
{
    if (answer.packetType() == StatusPacketType)
        return true;
    if (answer.packetType() != ReadResponseType || request.packetType() != 2)
        return false;
    if (request.operandSize() == 8)
        return answer.operandSize() == 8 && answer.varLength() == request.varLength();
    return answer.operandSize() == request.operandSize();
}

} // namespace

csrdrv::csrdrv(QObject *parent)
    : QObject(parent)
    , m_commctl(new QSerialPort(this))
    , m_portTable(portTable::fromSystem())
{
    for (QTimer *timer : {&m_responseTimer, &m_timeoutTimer, &m_resetTxTimer, &m_guardQuietTimer, &m_guardLimitTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer); // coarse timers may fire 5 % early
    }
    setTiming(linkTiming::fromEnvironment());
    connect(&m_guardQuietTimer, &QTimer::timeout, this, &csrdrv::endGuard);
    connect(&m_guardLimitTimer, &QTimer::timeout, this, &csrdrv::endGuard);
    connect(&m_responseTimer, &QTimer::timeout, this, &csrdrv::responseTimerExpired);
    connect(&m_timeoutTimer, &QTimer::timeout, this, &csrdrv::packetStalled);
    connect(&m_resetTxTimer, &QTimer::timeout, this, [this] {
        m_transmitEnabled = true;
        transmitStep();
    });
    connect(m_commctl, &QSerialPort::bytesWritten, this, [this] {
        if (m_commctl->bytesToWrite() == 0)
            outputDrained();
    });
    connect(m_commctl, &QSerialPort::readyRead, this, &csrdrv::inputWaiting);
    connect(m_commctl, &QSerialPort::errorOccurred, this, &csrdrv::portError);
}

csrdrv::~csrdrv()
{
    m_commctl->close();
}

void csrdrv::setTiming(const linkTiming &timing)
{
    m_timing = timing;
    m_responseTimer.setInterval(timing.responseMs);
    m_timeoutTimer.setInterval(timing.stallMs);
    m_resetTxTimer.setInterval(timing.transmitPauseMs);
    m_guardQuietTimer.setInterval(timing.guardQuietMs);
    m_guardLimitTimer.setInterval(timing.guardLimitMs);
    m_blockReads.setLateAnswerWindow(timing.lateAnswerMs);
}

bool csrdrv::isOpen() const
{
    return m_commctl->isOpen();
}

void csrdrv::closePort()
{
    m_commctl->close();
    // Bytes still in the port are gone: nothing will report them sent.
    m_inFlight.reset();
}

// Forgets everything of the exchange so far: a new port starts clean.
void csrdrv::resetExchange()
{
    m_rxQueue.clear();
    m_txQueue.clear();
    m_blockReads.forgetUnsent();
    m_outstanding.clear();
    m_abandoned.clear();
    m_assembler.discard();
    m_droppedSeen = m_assembler.droppedPackets();
    for (QTimer *timer : {&m_responseTimer, &m_timeoutTimer, &m_guardQuietTimer, &m_guardLimitTimer})
        timer->stop();
    m_guarding = false;
    m_failedAttempts = 0;
    m_responseTimedOut = false;
    m_portLost = false;
}

void csrdrv::findPorts()
{
    m_portlist.clear();
    closePort();
    resetExchange();
    for (int n = 1; n <= m_portTable.count(); ++n) {
        QSerialPort probe(m_portTable.devicePath(n));
        if (probe.open(QIODevice::ReadWrite)) {
            probe.close();
            m_portlist.append(quint16(n));
        }
    }
    // No number stays selected, so whichever port is chosen next is opened.
    m_portNumber = 0;
}

void csrdrv::setPortNumber(quint16 portnum)
{
    if (portnum == m_portNumber && isOpen())
        return;
    closePort();
    resetExchange();
    m_portNumber = portnum;
    const QString path = m_portTable.devicePath(portnum);
    if (path.isEmpty())
        return;
    m_commctl->setPortName(path);
    if (!m_commctl->open(QIODevice::ReadWrite))
        return;
    // Line controls off; pseudo-terminals have no modem lines, which is no error.
    m_commctl->setFlowControl(QSerialPort::NoFlowControl);
    m_commctl->setRequestToSend(false);
    m_commctl->clearError();
}

bool csrdrv::openDevice(const QString &path)
{
    const portTable previous = m_portTable;
    m_portTable = portTable(QStringList{path} + previous.devicePaths());
    m_portNumber = 0; // port 1 is opened afresh, whatever it named before
    setPortNumber(1);
    if (isOpen())
        return true;
    m_portTable = previous;
    return false;
}

void csrdrv::raise(EventEnum evType)
{
    if (m_eventHandler)
        m_eventHandler->DriverEvent(evType);
}

void csrdrv::sendPacket(PacketRef pkt)
{
    if (pkt->isRequest())
        m_lastRequest = pkt;
    m_txQueue.push(std::move(pkt));
    if (!transmitStep())
        throw NuvarDriverError(QStringLiteral("Cannot write to serial port %1: %2")
                                   .arg(portTable::portName(m_portNumber),
                                        m_portLost ? failureText() : m_commctl->errorString())
                                   .toStdString());
}

PacketRef csrdrv::takeNotification()
{
    return m_rxQueue.popFirst(isNotification);
}

PacketRef csrdrv::takeAnswer()
{
    return m_rxQueue.popFirst([](const csr232packet &packet) { return !isNotification(packet); });
}

QString csrdrv::failureText() const
{
    switch (m_lastFailure) {
    case Failure::None:
        break;
    case Failure::NoAnswer:
        return QStringLiteral("the board did not answer");
    case Failure::DamagedAnswer:
        return QStringLiteral("the board's answers arrived damaged");
    case Failure::PortLost:
        return QStringLiteral("the serial port was lost");
    case Failure::WriteRefused:
        return QStringLiteral("the board refused a register write");
    }
    return {};
}

bool csrdrv::transmitStep()
{
    // Nothing goes out during a guard (its answer would be discarded) or while
    // an abandoned request may still be answered (its answer would be taken
    // for the new one's).
    while (m_transmitEnabled && !m_guarding && m_abandoned.isEmpty() && !m_inFlight && !m_txQueue.isEmpty()) {
        PacketRef next = m_txQueue.pop();
        try {
            next->buildPacket();
        } catch (const std::invalid_argument &error) {
            throw NuvarDriverError(error.what());
        }
        const QByteArray bytes = next->dataBuffer();
        if (bytes.isEmpty())
            continue; // a packet type that has no wire form
        // The caller learns of a packet that cannot be written from the result.
        if (!m_commctl->isOpen() || m_commctl->write(bytes) != bytes.size())
            return false;
        if (isBlockRead(*next))
            m_blockReads.sent(next->varLength());
        if (next->isRequest()) {
            m_outstanding.push_back(next);
            m_responseTimer.start();
            m_responseTimedOut = false;
        }
        m_inFlight = next;
        emit bytesSent(bytes);
    }
    return true;
}

void csrdrv::outputDrained()
{
    m_inFlight.reset();
    transmitStep();
}

void csrdrv::inputWaiting()
{
    const QByteArray bytes = m_commctl->isOpen() ? m_commctl->readAll() : QByteArray();
    if (bytes.isEmpty())
        return;
    m_timeoutTimer.stop();
    emit bytesReceived(bytes);
    if (m_guarding)
        m_guardQuietTimer.start(); // the line is not quiet yet
    QList<PacketRef> completed;
    m_assembler.feed(bytes, completed);
    if (m_assembler.isReceiving())
        m_timeoutTimer.start();
    deliver(completed);
}

void csrdrv::deliver(const QList<PacketRef> &completed)
{
    // A damaged packet while a request is outstanding was most likely its
    // answer: ask again rather than wait out the time-out.
    if (m_assembler.droppedPackets() != m_droppedSeen) {
        m_droppedSeen = m_assembler.droppedPackets();
        if (!m_outstanding.empty() && !m_guarding)
            requestFailed(Failure::DamagedAnswer);
    }
    // All packets are queued before any handler runs, so a handler that takes
    // packets or waits in a nested event loop sees them in order.
    QList<bool> notifications;
    for (const PacketRef &packet : completed) {
        if (isNotification(*packet)) {
            m_rxQueue.push(packet);
            notifications.append(true);
        } else if (acceptAnswer(packet)) {
            notifications.append(false);
        }
    }
    QPointer<csrdrv> alive(this);
    for (const bool notification : notifications) {
        if (!alive)
            return;
        if (notification)
            emit notificationReceived();
        else if (m_waitDepth == 0)
            emit responseReceived();
    }
}

// Takes packet as the answer of the oldest outstanding request if it can be
// one. True when it was queued for the responseReceived event.
bool csrdrv::acceptAnswer(const PacketRef &packet)
{
    if (isBlockData(*packet))
        return acceptBlockData(packet);
    if (m_guarding || m_outstanding.empty() || !canAnswer(*m_outstanding.front(), *packet)) {
        ++m_discardedAnswers;
        // A read response of the wrong size: the exchange is out of step.
        if (!m_guarding && !m_outstanding.empty() && packet->packetType() == ReadResponseType)
            requestFailed(Failure::DamagedAnswer);
        return false;
    }
    return takeAsAnswer(packet);
}

// A block read's data answers the outstanding block read of its length. Of
// another length, it is a late or doubled answer of an earlier block read
// (discarded), or, when no block read may be answered with that length, out
// of step: the board answered something else than the link thinks.
bool csrdrv::acceptBlockData(const PacketRef &packet)
{
    const int length = packet->varLength();
    const bool known = m_blockReads.answered(length);
    if (!m_guarding && !m_outstanding.empty() && isBlockRead(*m_outstanding.front())
        && m_outstanding.front()->varLength() == length)
        return takeAsAnswer(packet);
    ++m_discardedAnswers;
    if (!known) {
        ++m_outOfStepAnswers;
        m_outOfStepLengths.append(length);
        if (!m_guarding && !m_outstanding.empty())
            requestFailed(Failure::DamagedAnswer);
    }
    return false;
}

// Takes packet as the answer of the oldest outstanding request, which it can
// answer. True when it was queued for the responseReceived event.
bool csrdrv::takeAsAnswer(const PacketRef &packet)
{
    const PacketRef request = m_outstanding.front();
    m_outstanding.pop_front();
    m_failedAttempts = 0;
    m_responseTimedOut = false;
    if (m_outstanding.empty())
        m_responseTimer.stop();
    else
        m_responseTimer.start();
    if (m_abandoned.removeOne(request)) {
        ++m_discardedAnswers;
        transmitStep(); // what waited for the line goes now
        return false;
    }
    if (request == m_awaited) {
        m_awaitedAnswer = packet;
        return false;
    }
    m_rxQueue.push(packet);
    return true;
}

void csrdrv::responseTimerExpired()
{
    if (!m_outstanding.empty() && m_abandoned.contains(m_outstanding.front())) {
        // Nobody waits for these; but their answers may still be on the way,
        // so the line must be quiet before the next request counts on it.
        while (!m_outstanding.empty() && m_abandoned.removeOne(m_outstanding.front()))
            m_outstanding.pop_front();
        startGuard();
        return;
    }
    if (m_outstanding.empty())
        giveUp(Failure::NoAnswer); // a wait with nothing outstanding
    else
        requestFailed(Failure::NoAnswer);
}

void csrdrv::requestFailed(Failure cause)
{
    m_responseTimer.stop();
    if (m_outstanding.empty() || ++m_failedAttempts >= MaxAttempts) {
        giveUp(cause);
        return;
    }
    ++m_resends;
    startGuard();
}

// The outstanding requests failed for good: the usual time-out path.
void csrdrv::giveUp(Failure cause)
{
    m_lastFailure = cause;
    m_failedAttempts = 0;
    m_outstanding.clear();
    m_abandoned.clear();
    m_guarding = false;
    m_guardQuietTimer.stop();
    m_guardLimitTimer.stop();
    m_responseTimer.stop();
    m_responseTimedOut = true;
    if (m_waitDepth == 0)
        emit responseTimeout();
}

void csrdrv::startGuard()
{
    m_guarding = true;
    m_rxQueue.removeAll([](const csr232packet &packet) { return !isNotification(packet); });
    m_assembler.discard();
    m_droppedSeen = m_assembler.droppedPackets();
    m_timeoutTimer.stop();
    m_guardQuietTimer.start();
    m_guardLimitTimer.start();
}

void csrdrv::abandonBlockReads()
{
    m_txQueue.removeAll(isBlockRead);
    m_blockReads.forgetUnsent();
    m_rxQueue.removeAll(isBlockData);
    abandonOutstanding(isBlockRead);
}

void csrdrv::abandonWaits()
{
    if (m_waitDepth == 0)
        return;
    m_waitsAbandoned = true;
    m_txQueue.clear();
    m_blockReads.forgetUnsent();
    abandonOutstanding([](const csr232packet &) { return true; });
}

void csrdrv::abandonOutstanding(const std::function<bool(const csr232packet &)> &which)
{
    for (const PacketRef &request : m_outstanding) {
        if (which(*request) && !m_abandoned.contains(request))
            m_abandoned.append(request);
    }
}

void csrdrv::endGuard()
{
    m_guardQuietTimer.stop();
    m_guardLimitTimer.stop();
    m_guarding = false;
    m_assembler.discard();
    m_droppedSeen = m_assembler.droppedPackets();
    // The unanswered requests go out again first, in their order.
    QList<PacketRef> queued;
    while (PacketRef packet = m_txQueue.pop())
        queued.append(packet);
    for (const PacketRef &request : m_outstanding) {
        if (!m_abandoned.removeOne(request))
            m_txQueue.push(request);
    }
    m_outstanding.clear();
    for (const PacketRef &packet : queued)
        m_txQueue.push(packet);
    if (!transmitStep())
        giveUp(m_portLost ? Failure::PortLost : Failure::NoAnswer);
}

void csrdrv::portError()
{
    // A device that went away reports a resource error; a pseudo-terminal
    // whose far end closed reports a read error (end of file) on every turn of
    // the event loop instead. Either way the port is gone, and a closed port
    // raises nothing more, so nothing spins.
    const QSerialPort::SerialPortError error = m_commctl->error();
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)
        return;
    m_portLost = true;
    closePort();
    m_txQueue.clear();
    m_assembler.discard();
    m_timeoutTimer.stop();
    QPointer<csrdrv> alive(this);
    if (!m_outstanding.empty() || m_guarding || m_waitDepth > 0)
        giveUp(Failure::PortLost);
    else
        m_lastFailure = Failure::PortLost;
    if (alive)
        emit portLost();
}

void csrdrv::deliverQueuedAnswers()
{
    if (m_waitDepth > 0)
        return; // the wait that is running schedules this again
    QPointer<csrdrv> alive(this);
    for (int n = m_rxQueue.countIf([](const csr232packet &p) { return !isNotification(p); }); n > 0 && alive; --n)
        emit responseReceived();
}

void csrdrv::packetStalled()
{
    // The rest of the packet is not coming: give it up so the next bytes start
    // a fresh packet, keeping any complete packet found in its bytes.
    QList<PacketRef> recovered;
    m_assembler.flush(recovered);
    resetBus();
    deliver(recovered);
}

void csrdrv::transmitReset()
{
    m_transmitEnabled = false;
    if (m_commctl->isOpen())
        m_commctl->clear(QSerialPort::Output);
    m_inFlight.reset(); // its bytes were just discarded
    m_resetTxTimer.start();
}

void csrdrv::resetBus()
{
    transmitReset();
    if (m_commctl->isOpen()) {
        m_commctl->setBreakEnabled(true);
        m_commctl->setBreakEnabled(false);
        m_commctl->clearError();
    }
}

bool csrdrv::waitPacket()
{
    QPointer<csrdrv> alive(this);
    ++m_waitDepth;
    const PacketRef previousAwaited = std::exchange(m_awaited, m_lastRequest);
    m_awaitedAnswer.reset();
    raise(EVENT_COMM_START);
    // With no request outstanding nothing else would end the wait.
    if (!m_responseTimer.isActive() && !m_responseTimedOut && !m_guarding)
        m_responseTimer.start();
    bool success = false;
    for (;;) {
        if (!alive)
            return false;
        if (m_awaitedAnswer) {
            m_lastReceived = std::exchange(m_awaitedAnswer, nullptr);
            success = true;
            break;
        }
        if (m_responseTimedOut || m_waitsAbandoned)
            break;
        // Read the port here rather than trust readyRead: inside its own
        // handler (a blocking call made from a link event) it is not raised.
        inputWaiting();
        if (!alive)
            return false;
        if (m_awaitedAnswer || m_responseTimedOut || m_waitsAbandoned)
            continue;
        raise(EVENT_COMM_IDLE);
        if (!alive)
            return false;
        // Sleeps until the port, a timer or the user has something to say.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    m_awaited = previousAwaited;
    --m_waitDepth;
    if (m_waitDepth == 0)
        m_waitsAbandoned = false;
    raise(success ? EVENT_COMM_FINISH : EVENT_COMM_ERROR);
    // Answers to other requests that came meanwhile reach their taker now.
    if (alive && m_waitDepth == 0 && m_rxQueue.countIf([](const csr232packet &p) { return !isNotification(p); }) > 0)
        QTimer::singleShot(0, this, &csrdrv::deliverQueuedAnswers);
    return success;
}
