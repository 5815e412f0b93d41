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

PseudoTerminal::PseudoTerminal(int baud, QObject *parent)
    : QObject(parent)
    , m_baud(baud)
{
    m_paceTimer.setInterval(5);
    connect(&m_paceTimer, &QTimer::timeout, this, &PseudoTerminal::writePending);
}

PseudoTerminal::~PseudoTerminal()
{
    if (!m_linkPath.isEmpty())
        QFile::remove(m_linkPath);
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
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
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::writePending);
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
        emit received(QByteArray(buffer, n));
}

void PseudoTerminal::send(const QByteArray &bytes)
{
    if (m_output.isEmpty() && m_baud > 0) {
        m_paceClock.start();
        m_credit = 1;
        m_paceTimer.start();
    }
    m_output.append(bytes);
    writePending();
}

void PseudoTerminal::writePending()
{
    qsizetype allowed = m_output.size();
    if (m_baud > 0) {
        m_credit += m_paceClock.restart() * m_baud / 10000.0;
        allowed = qMin(allowed, qsizetype(m_credit));
    }
    bool terminalFull = false;
    if (allowed > 0) {
        const ssize_t n = ::write(m_master, m_output.constData(), size_t(allowed));
        terminalFull = n < allowed;
        if (n > 0) {
            m_output.remove(0, n);
            m_credit -= double(n);
        }
    }
    // Wait for room in the terminal only when it, not the pacing, holds us up.
    m_writeNotifier->setEnabled(terminalFull);
    if (m_output.isEmpty())
        m_paceTimer.stop();
}

void PseudoTerminal::sendBreak()
{
    tcsendbreak(m_master, 0);
}
