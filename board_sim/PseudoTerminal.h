// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LinePacer.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The board's end of the serial line: the master side of a pseudo-terminal in
// raw mode. What is sent reaches the host at the pace of the configured baud
// rate (10 bits a byte), or as fast as the terminal takes it when the rate is
// 0. With paced input, what the host writes reaches the board only after the
// line has carried it, as on a real line; otherwise at once.
class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    PseudoTerminal(int baud, bool paceInput, QObject *parent = nullptr);
    ~PseudoTerminal() override;

    bool open(QString *error);
    QString devicePath() const { return m_devicePath; }
    // A symbolic link at path to the device; removed again on destruction.
    bool makeLink(const QString &path, QString *error);

    void send(const QByteArray &bytes);
    // Asks the kernel for a break condition on the line. Linux pseudo-terminals
    // do not carry breaks, so on them this changes nothing.
    void sendBreak();
    // Cuts the line as an unplugged cable does: the master side is closed, so
    // the host's port reports a hang-up, and nothing more is sent or received.
    void close();

signals:
    void received(const QByteArray &bytes);

private:
    void readAvailable();
    void deliverReceived(const QByteArray &bytes);
    void writeToTerminal(const QByteArray &bytes);
    void writeUnwritten();

    int m_master = -1;
    int m_slave = -1; // kept open so the line survives the host closing it
    QString m_devicePath;
    QString m_linkPath;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    LinePacer m_outgoing;
    LinePacer m_incoming;
    QByteArray m_unwritten; // carried by the line, not yet taken by the terminal
    qint64 m_answerFromNs = -1; // while the board handles received bytes: when they arrived on the line
};
