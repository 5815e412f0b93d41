// SPDX-License-Identifier: GPL-3.0-or-later
#include "RemoteConnection.h"

#include <QTcpSocket>

RemoteConnection::RemoteConnection(QTcpSocket *socket, QObject *parent)
    : QObject(parent), m_socket(socket)
{
    socket->setParent(this);
    // Read no further ahead than one line: the rest waits in the network.
    socket->setReadBufferSize(LineLimit);
    m_peer = QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
    connect(socket, &QTcpSocket::readyRead, this, &RemoteConnection::ready);
    connect(socket, &QTcpSocket::bytesWritten, this, &RemoteConnection::ready);
    connect(socket, &QTcpSocket::disconnected, this, &RemoteConnection::closed);
}

std::optional<RemoteConnection::Line> RemoteConnection::takeLine()
{
    while (true) {
        const qsizetype end = m_pending.indexOf('\n');
        if (end >= 0) {
            QByteArray text = m_pending.first(end);
            m_pending.remove(0, end + 1);
            if (text.endsWith('\r'))
                text.chop(1);
            if (m_discarding || text.size() > LineLimit) {
                m_discarding = false;
                return Line{{}, true};
            }
            return Line{text, false};
        }
        // Room for the line and a CR before its LF.
        if (m_pending.size() > LineLimit + 1) {
            m_pending.clear();
            m_discarding = true;
        }
        const QByteArray more = m_socket->read(LineLimit);
        if (more.isEmpty())
            return std::nullopt;
        m_pending += more;
    }
}

void RemoteConnection::send(const QByteArray &message)
{
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->write(message);
}

bool RemoteConnection::wantsInput() const
{
    return m_socket->bytesToWrite() < OutputLimit;
}

void RemoteConnection::close()
{
    m_socket->abort();
}
