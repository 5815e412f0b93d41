// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "csr232packet.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <memory>

// The far end of a pseudo-terminal, played by the test itself: it reads the
// driver's requests and answers with packets the simulated board never sends.
class ScriptedPeer
{
public:
    ScriptedPeer()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        // A program the test starts must not hold the line open after hangUp().
        if (m_master >= 0)
            fcntl(m_master, F_SETFD, FD_CLOEXEC);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_devicePath = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~ScriptedPeer()
    {
        if (m_master >= 0)
            close(m_master);
    }
    ScriptedPeer(const ScriptedPeer &) = delete;
    ScriptedPeer &operator=(const ScriptedPeer &) = delete;

    QString devicePath() const { return m_devicePath; }
    int masterFd() const { return m_master; }
    // The line goes away, as when the board's cable is pulled.
    void hangUp()
    {
        if (m_master >= 0)
            close(m_master);
        m_master = -1;
    }

    // The next request the driver sends, or nullptr after timeoutMs. Runs the
    // event loop meanwhile, since the driver writes from it.
    std::unique_ptr<csr232packet> nextRequest(int timeoutMs = 3000)
    {
        auto packet = std::make_unique<csr232packet>();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            QCoreApplication::processEvents();
            pollfd fd{m_master, POLLIN, 0};
            if (poll(&fd, 1, 10) <= 0)
                continue;
            unsigned char byte = 0;
            while (read(m_master, &byte, 1) == 1) {
                packet->parse(byte);
                if (packet->state() >= csr232packet::Complete)
                    return packet;
                if (poll(&fd, 1, 0) <= 0)
                    break;
            }
        }
        return nullptr;
    }

    // Nothing arrives within ms.
    bool quietFor(int ms) { return nextRequest(ms) == nullptr; }

    void sendReadResponse(const QByteArray &data)
    {
        csr232packet packet;
        packet.setPacketType(6);
        packet.setVarLength(int(data.size()));
        packet.setPayloadSize(int(data.size()));
        for (int i = 0; i < data.size(); ++i)
            packet.setPayloadByte(i, quint8(data[i]));
        packet.buildPacket();
        send(packet.dataBuffer());
    }

    void send(const QByteArray &bytes) { [[maybe_unused]] auto written = write(m_master, bytes.constData(), size_t(bytes.size())); }

private:
    int m_master = -1;
    QString m_devicePath;
};
