// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

class QTcpSocket;

// One client's socket, line by line: what it sent, cut at LF (a CR before it
// dropped), with lines longer than LineLimit thrown away whole; and what it is
// sent. Nothing here waits: a client that sends faster than its commands run
// is held back by its socket's read buffer, and one that stops reading only
// fills its socket's write buffer (wantsInput() then says to stop taking its
// commands).
class RemoteConnection : public QObject
{
    Q_OBJECT

public:
    // The longest line taken, its CR LF not counted.
    static constexpr qsizetype LineLimit = 64 * 1024;
    // Answers not yet taken by the client beyond which its commands wait.
    static constexpr qint64 OutputLimit = 1024 * 1024;

    // Takes socket as its child.
    explicit RemoteConnection(QTcpSocket *socket, QObject *parent = nullptr);

    // "127.0.0.1:40312".
    QString peer() const { return m_peer; }

    struct Line {
        QByteArray text;
        bool tooLong = false; // thrown away: text is empty
    };
    // The next whole line received, if there is one.
    std::optional<Line> takeLine();
    void send(const QByteArray &message);
    // False while the client leaves too much of what it was sent unread.
    bool wantsInput() const;
    void close();

signals:
    // More was received, or more of what was sent went out.
    void ready();
    void closed();

private:
    QTcpSocket *m_socket;
    QString m_peer;
    QByteArray m_pending;  // the start of a line not yet ended
    bool m_discarding = false; // within a line too long, until its LF
};
