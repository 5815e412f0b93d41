// SPDX-License-Identifier: GPL-3.0-or-later
#include "RemoteControlSwitch.h"

#include "RemoteServer.h"

#include <QAction>
#include <QLabel>
#include <QStandardPaths>

RemoteControlSwitch::RemoteControlSwitch(BoardSession &board, QObject *parent)
    : QObject(parent), m_board(board), m_action(new QAction(QStringLiteral("Remote Control"), this)),
      m_status(new QLabel)
{
    m_action->setObjectName(QStringLiteral("mnuToolsRemoteControl"));
    m_action->setCheckable(true);
    m_status->setObjectName(QStringLiteral("lblRemoteControl"));
    m_status->hide();
    connect(m_action, &QAction::toggled, this, &RemoteControlSwitch::setOn);
}

void RemoteControlSwitch::setOn(bool on)
{
    if (m_server) {
        // Later: a command of its own may be waiting for the board right now.
        m_server->stop();
        m_server->deleteLater();
        m_server = nullptr;
    }
    if (on) {
        RemoteServer::Settings settings;
        settings.dataDirectory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        m_server = new RemoteServer(m_board, settings, this);
        QString problem;
        if (!m_server->listen(&problem)) {
            m_status->setText(QStringLiteral("Remote control off: %1").arg(problem));
            m_status->show();
            m_server->deleteLater();
            m_server = nullptr;
            const QSignalBlocker quiet(m_action);
            m_action->setChecked(false);
            return;
        }
        connect(m_server, &RemoteServer::clientChanged, this, &RemoteControlSwitch::showState);
    }
    showState();
}

void RemoteControlSwitch::showState()
{
    m_status->setVisible(m_server != nullptr);
    if (!m_server)
        return;
    const QString client = m_server->client();
    m_status->setText(QStringLiteral("Remote control on %1: %2")
                          .arg(m_server->address(), client.isEmpty() ? QStringLiteral("no client")
                                                                    : QStringLiteral("client %1").arg(client)));
}
