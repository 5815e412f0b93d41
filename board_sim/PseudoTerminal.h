// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// The board's end of the serial line: the master side of a pseudo-terminal in
// raw mode. What is sent goes out at the pace of the configured baud rate
// (10 bits a byte), or as fast as the terminal takes it when the rate is 0.
class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    explicit PseudoTerminal(int baud, QObject *parent = nullptr);
    ~PseudoTerminal() override;

    bool open(QString *error);
    QString devicePath() const { return m_devicePath; }
    // A symbolic link at path to the device; removed again on destruction.
    bool makeLink(const QString &path, QString *error);

    void send(const QByteArray &bytes);
    // Asks the kernel for a break condition on the line. Linux pseudo-terminals
    // do not carry breaks, so on them this changes nothing.
    void sendBreak();

signals:
    void received(const QByteArray &bytes);

private:
    void readAvailable();
    void writePending();

    int m_baud;
    int m_master = -1;
    int m_slave = -1; // kept open so the line survives the host closing it
    QString m_devicePath;
    QString m_linkPath;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_output;
    QTimer m_paceTimer;
    QElapsedTimer m_paceClock;
    double m_credit = 0; // bytes the line may carry now
};
