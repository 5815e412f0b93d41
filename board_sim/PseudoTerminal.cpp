// SPDX-License-Identifier: GPL-3.0-or-later
#include "PseudoTerminal.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal(int baud, bool paceInput, QObject *parent)
    : QObject(parent)
    , m_outgoing(baud)
    , m_incoming(paceInput ? baud : 0)
{
    connect(&m_outgoing, &LinePacer::carried, this, &PseudoTerminal::writeToTerminal);
    connect(&m_incoming, &LinePacer::carried, this, &PseudoTerminal::deliverReceived);
}

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open(QString *error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(ptsname(m_master));
    m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
    termios raw {};
    if (m_slave < 0 || tcgetattr(m_slave, &raw) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::readAvailable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::writeUnwritten);
    return true;
}

bool PseudoTerminal::makeLink(const QString &path, QString *error)
{
    QFile::remove(path);
    if (!QFile::link(m_devicePath, path)) {
        *error = QStringLiteral("cannot create the link %1").arg(path);
        return false;
    }
    m_linkPath = path;
    return true;
}

void PseudoTerminal::readAvailable()
{
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n > 0)
        m_incoming.append(QByteArray(buffer, n));
}

void PseudoTerminal::deliverReceived(const QByteArray &bytes)
{
    // The board answers the moment the line delivered the request, however
    // late this process woke up to it: its own lateness never slows the line.
    m_answerFromNs = m_incoming.lastCarriedNs();
    emit received(bytes);
    m_answerFromNs = -1;
}

void PseudoTerminal::send(const QByteArray &bytes)
{
    if (m_master >= 0)
        m_outgoing.append(bytes, m_answerFromNs >= 0 ? m_answerFromNs : LinePacer::clockNs());
}

void PseudoTerminal::writeToTerminal(const QByteArray &bytes)
{
    m_unwritten.append(bytes);
    writeUnwritten();
}

void PseudoTerminal::writeUnwritten()
{
    if (m_master < 0 || m_unwritten.isEmpty())
        return;
    const ssize_t n = ::write(m_master, m_unwritten.constData(), size_t(m_unwritten.size()));
    if (n > 0)
        m_unwritten.remove(0, n);
    // Wait for room only when the terminal, not the line, holds the bytes up.
    m_writeNotifier->setEnabled(!m_unwritten.isEmpty());
}

void PseudoTerminal::sendBreak()
{
    if (m_master >= 0)
        tcsendbreak(m_master, 0);
}

void PseudoTerminal::close()
{
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    m_outgoing.clear();
    m_incoming.clear();
    m_unwritten.clear();
    if (!m_linkPath.isEmpty())
        QFile::remove(m_linkPath);
    m_linkPath.clear();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}
