// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScpiCommand.h"

#include <QByteArrayList>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class BoardSession;
class QTcpServer;
class QTcpSocket;
class RemoteConnection;
class RemoteInstrument;

// The remote control: a TCP server on the board session for lab scripts. One
// client controls the board at a time; others that connect meanwhile wait,
// in turn, until it closes. A message (a line) is split into its commands,
// which run in order; the answers of its queries go out together, joined by
// ';', in one line. *OPC? and *WAI hold the commands after them until the
// block under way has finished, without holding up the program.
class RemoteServer : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 5025;

    struct Settings {
        QHostAddress address = QHostAddress::LocalHost;
        quint16 port = DefaultPort; // 0: any free port
        QString dataDirectory;      // where MMEMory:STORe:DATA saves
        int idleTimeoutMs = 0;      // a controlling client silent this long is closed; 0: never
    };

    RemoteServer(BoardSession &board, const Settings &settings, QObject *parent = nullptr);
    ~RemoteServer() override;

    // False, with the reason in *error, when the address cannot be listened on.
    bool listen(QString *error = nullptr);
    // Stops listening and closes every client (a block under way is aborted);
    // safe while a command of the server waits for the board.
    void stop();
    // "127.0.0.1:5025", the port the one listened on.
    QString address() const;
    quint16 port() const;
    // The controlling client, "127.0.0.1:40312"; empty while there is none.
    QString client() const;

    RemoteInstrument &instrument() { return *m_instrument; }

signals:
    // Another client took control, or the last one left.
    void clientChanged(const QString &client);

private:
    void accept();
    void takeControl(QTcpSocket *socket);
    void controllerClosed();
    // Runs what the controlling client sent, as far as it may go now.
    void serve();
    void finishMessage();
    void idleTimeout();

    BoardSession &m_board;
    Settings m_settings;
    QTcpServer *m_server;
    RemoteInstrument *m_instrument;
    QPointer<RemoteConnection> m_controller;
    QList<QPointer<QTcpSocket>> m_waiting;
    QList<ScpiUnit> m_units; // the commands of the message under way not yet run
    QByteArrayList m_answers; // its answers so far
    bool m_inMessage = false;
    bool m_serving = false; // serve() is under way (a command's wait runs the event loop)
    QTimer m_idleTimer;
};
