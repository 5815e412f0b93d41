// SPDX-License-Identifier: GPL-3.0-or-later
#include "csrdrv.h"

#include "NuvarDriverError.h"
#include "NuvarDriverEvents.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QSerialPort>

#include <stdexcept>

csrdrv::csrdrv(QObject *parent)
    : QObject(parent)
    , m_commctl(new QSerialPort(this))
    , m_portTable(portTable::fromSystem())
{
    for (QTimer *timer : {&m_responseTimer, &m_timeoutTimer, &m_resetTxTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer); // coarse timers may fire 5 % early
    }
    m_responseTimer.setInterval(ResponseTimeoutMs);
    m_timeoutTimer.setInterval(StallTimeoutMs);
    m_resetTxTimer.setInterval(TransmitPauseMs);
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
}

csrdrv::~csrdrv()
{
    m_commctl->close();
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

void csrdrv::findPorts()
{
    m_portlist.clear();
    closePort();
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

void csrdrv::raise(EventEnum evType)
{
    if (m_eventHandler)
        m_eventHandler->DriverEvent(evType);
}

void csrdrv::sendPacket(PacketRef pkt)
{
    m_txQueue.push(std::move(pkt));
    if (!transmitStep())
        throw NuvarDriverError(QStringLiteral("Cannot write to serial port %1: %2")
                                   .arg(portTable::portName(m_portNumber), m_commctl->errorString())
                                   .toStdString());
}

bool csrdrv::transmitStep()
{
    while (m_transmitEnabled && !m_inFlight && !m_txQueue.isEmpty()) {
        PacketRef next = m_txQueue.pop();
        try {
            next->buildPacket();
        } catch (const std::invalid_argument &error) {
            throw NuvarDriverError(error.what());
        }
        const QByteArray bytes = next->dataBuffer();
        if (bytes.isEmpty())
            continue; // a packet type that has no wire form
        if (next->isRequest()) {
            m_responseTimer.start();
            m_responseTimedOut = false;
        }
        // A request that cannot be written still ends in a response time-out,
        // so nobody waits for it forever.
        if (!m_commctl->isOpen() || m_commctl->write(bytes) != bytes.size())
            return false;
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
    m_timeoutTimer.stop();
    const QByteArray bytes = m_commctl->readAll();
    if (bytes.isEmpty())
        return;
    emit bytesReceived(bytes);
    QList<PacketRef> completed;
    m_assembler.feed(bytes, completed);
    if (m_assembler.isReceiving())
        m_timeoutTimer.start();
    deliver(completed);
}

void csrdrv::deliver(const QList<PacketRef> &completed)
{
    // All packets are queued before any handler runs, so a handler that takes
    // packets or waits in a nested event loop sees them in order.
    for (const PacketRef &packet : completed) {
        m_responseTimer.stop();
        m_responseTimedOut = false;
        m_rxQueue.push(packet);
    }
    QPointer<csrdrv> alive(this);
    for (const PacketRef &packet : completed) {
        if (!alive)
            return;
        if (packet->packetType() == 9)
            emit notificationReceived();
        else if (m_waitDepth == 0)
            emit responseReceived();
    }
}

void csrdrv::responseTimerExpired()
{
    m_responseTimedOut = true;
    if (m_waitDepth == 0)
        emit responseTimeout();
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
    raise(EVENT_COMM_START);
    // With no request outstanding nothing else would end the wait.
    if (!m_responseTimer.isActive() && !m_responseTimedOut)
        m_responseTimer.start();
    bool success = false;
    for (;;) {
        if (!alive)
            return false;
        if (m_responseTimedOut)
            break;
        if (!m_rxQueue.isEmpty()) {
            m_lastReceived = m_rxQueue.pop();
            success = true;
            break;
        }
        raise(EVENT_COMM_IDLE);
        if (!alive)
            return false;
        // Sleeps until the port, a timer or the user has something to say.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    --m_waitDepth;
    raise(success ? EVENT_COMM_FINISH : EVENT_COMM_ERROR);
    return success;
}
