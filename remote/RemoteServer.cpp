// SPDX-License-Identifier: GPL-3.0-or-later
#include "RemoteServer.h"

#include "RemoteConnection.h"
#include "RemoteInstrument.h"
#include "ScpiError.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Clients allowed to wait for control; more are turned away at once.
constexpr int MaxWaitingClients = 16;

} // namespace

RemoteServer::RemoteServer(BoardSession &board, const Settings &settings, QObject *parent)
    : QObject(parent), m_board(board), m_settings(settings), m_server(new QTcpServer(this)),
      m_instrument(new RemoteInstrument(board, settings.dataDirectory, this))
{
    connect(m_server, &QTcpServer::newConnection, this, &RemoteServer::accept);
    connect(m_instrument, &RemoteInstrument::operationsFinished, this, &RemoteServer::serve);
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &RemoteServer::idleTimeout);
}

RemoteServer::~RemoteServer()
{
    // The board outlives the server: a block of a client is not left holding it.
    m_instrument->acquisition().abort();
}

bool RemoteServer::listen(QString *error)
{
    if (m_server->listen(m_settings.address, m_settings.port))
        return true;
    if (error)
        *error = m_server->errorString();
    return false;
}

void RemoteServer::stop()
{
    m_server->close();
    for (const QPointer<QTcpSocket> &socket : std::as_const(m_waiting))
        if (socket)
            socket->abort();
    m_waiting.clear();
    if (m_controller) {
        m_controller->close();
        controllerClosed();
    }
}

QString RemoteServer::address() const
{
    return QStringLiteral("%1:%2").arg(m_settings.address.toString()).arg(port());
}

quint16 RemoteServer::port() const
{
    return m_server->isListening() ? m_server->serverPort() : m_settings.port;
}

QString RemoteServer::client() const
{
    return m_controller ? m_controller->peer() : QString();
}

void RemoteServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (!m_controller) {
            takeControl(socket);
            continue;
        }
        if (m_waiting.size() >= MaxWaitingClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // It waits unread; what it sends meanwhile stays in the network.
        socket->setParent(this);
        socket->setReadBufferSize(RemoteConnection::LineLimit);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        m_waiting.append(socket);
    }
}

void RemoteServer::takeControl(QTcpSocket *socket)
{
    socket->disconnect(this);
    m_controller = new RemoteConnection(socket, this);
    connect(m_controller, &RemoteConnection::ready, this, &RemoteServer::serve);
    connect(m_controller, &RemoteConnection::closed, this, &RemoteServer::controllerClosed);
    m_instrument->resetSession();
    m_instrument->setClient(QStringLiteral("the remote-control client %1").arg(m_controller->peer()));
    m_units.clear();
    m_answers.clear();
    m_inMessage = false;
    emit clientChanged(m_controller->peer());
    // It may have sent its commands while it waited.
    QMetaObject::invokeMethod(this, &RemoteServer::serve, Qt::QueuedConnection);
}

void RemoteServer::controllerClosed()
{
    if (!m_controller)
        return;
    m_idleTimer.stop();
    m_controller->disconnect(this);
    m_controller->deleteLater();
    m_controller = nullptr;
    // Its block is of no use to anyone: the board is freed.
    m_instrument->acquisition().abort();
    while (!m_waiting.isEmpty()) {
        QPointer<QTcpSocket> next = m_waiting.takeFirst();
        if (next && next->state() == QAbstractSocket::ConnectedState) {
            takeControl(next);
            return;
        }
    }
    emit clientChanged({});
}

void RemoteServer::serve()
{
    if (m_serving || !m_controller)
        return;
    m_serving = true;
    const QPointer<RemoteConnection> controller = m_controller;
    while (controller == m_controller && controller) {
        if (!m_units.isEmpty()) {
            if (m_instrument->mustWait(m_units.first()))
                break; // on again once the operations have finished
            const ScpiUnit unit = m_units.takeFirst();
            // A command may wait for the board, running the event loop meanwhile.
            if (const auto answer = m_instrument->execute(unit, !m_answers.isEmpty()))
                m_answers.append(*answer);
            continue;
        }
        if (m_inMessage)
            finishMessage();
        if (!controller->wantsInput())
            break; // on again once the client has read its answers
        const std::optional<RemoteConnection::Line> line = controller->takeLine();
        if (!line)
            break;
        if (m_settings.idleTimeoutMs > 0)
            m_idleTimer.start(m_settings.idleTimeoutMs);
        if (line->tooLong) {
            m_instrument->pushError(ScpiError::TooMuchData);
            continue;
        }
        m_units = ScpiParser::parse(line->text);
        m_inMessage = true;
    }
    m_serving = false;
}

void RemoteServer::finishMessage()
{
    m_inMessage = false;
    if (!m_answers.isEmpty())
        m_controller->send(m_answers.join(';') + '\n');
    m_answers.clear();
}

void RemoteServer::idleTimeout()
{
    if (!m_controller)
        return;
    // A client waiting for its block is not idle.
    if (m_inMessage || m_instrument->operationsPending()) {
        m_idleTimer.start(m_settings.idleTimeoutMs);
        return;
    }
    // Closing may already hand control on (the socket tells of its end at once).
    const QPointer<RemoteConnection> idle = m_controller;
    idle->close();
    if (m_controller == idle)
        controllerClosed();
}
