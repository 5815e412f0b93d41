// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class BoardSession;
class QAction;
class QLabel;
class RemoteServer;

// Tools > Remote Control: the window's remote-control server, off until the
// user turns it on, listening where the command-line tool's does by default.
// A permanent status-bar field shows the address and the controlling client.
// Its blocks reach the plot window through the board session, as the
// window's own do.
class RemoteControlSwitch : public QObject
{
    Q_OBJECT

public:
    RemoteControlSwitch(BoardSession &board, QObject *parent = nullptr);

    // The checkable menu entry.
    QAction *action() const { return m_action; }
    QLabel *statusField() const { return m_status; }
    RemoteServer *server() const { return m_server; }

private:
    void setOn(bool on);
    void showState();

    BoardSession &m_board;
    QAction *m_action;
    QLabel *m_status;
    RemoteServer *m_server = nullptr;
};
