// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardFirmware.h"

#include "PseudoTerminal.h"
#include "kz7305RegisterMap.h"

#include <QSaveFile>
#include <QTextStream>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <functional>

namespace {

using namespace kz7305RegisterMap;
constexpr double DefaultSampleRate = 20833.0;


int channelIndex(quint32 code)
{
    switch (code) {
    case 2: return 1;
    case 4: return 2;
    case 8: return 3;
    default: return 0;
    }
}

} // namespace

BoardFirmware::BoardFirmware(const SimOptions &options, PseudoTerminal &line, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_line(line)
    , m_signals(options.seed, options.vref)
    , m_faultRandom(options.seed ^ 0x5A5A5A5A)
{
    if (!options.logPath.isEmpty()) {
        m_log.setFileName(options.logPath);
        m_log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
    }
    m_progressTimer.setInterval(qMax(1, options.progressMs));
    connect(&m_progressTimer, &QTimer::timeout, this, &BoardFirmware::acquisitionTick);
    connect(&line, &PseudoTerminal::received, this, &BoardFirmware::received);
}

void BoardFirmware::received(const QByteArray &bytes)
{
    QList<PacketRef> packets;
    m_assembler.feed(bytes, packets);
    for (const PacketRef &packet : packets)
        handle(*packet);
}

void BoardFirmware::handle(const csr232packet &request)
{
    if (!request.isRequest() || m_options.silent)
        return;
    const QByteArray address = request.addressBytes();
    const quint16 page = qFromBigEndian<quint16>(address.constData() + 2);
    const quint32 reg = qFromBigEndian<quint32>(address.constData() + 4);
    if (request.packetType() == 3) {
        QByteArray data;
        for (int i = 0; i < request.varLength(); ++i)
            data.append(char(request.dataBufferByte(i)));
        logRequest("write", request, QStringLiteral("data=%1").arg(QString::fromLatin1(data.toHex().toUpper())));
        handleWrite(page, reg, data);
    } else if (request.packetType() == 2) {
        logRequest("read", request, QStringLiteral("length=%1").arg(request.varLength()));
        handleRead(page, reg, request.varLength(), request.operandSize());
    } else {
        logRequest("lock", request, QStringLiteral("function=%1").arg(request.lockFunction()));
        sendStatus(1); // lock transactions are not supported
    }
}

void BoardFirmware::logRequest(const char *kind, const csr232packet &request, const QString &detail)
{
    if (!m_log.isOpen())
        return;
    const QByteArray a = request.addressBytes();
    QTextStream(&m_log) << kind << " node=" << a.left(2).toHex().toUpper() << " page=" << a.mid(2, 2).toHex().toUpper()
                        << " reg=" << qFromBigEndian<quint32>(a.constData() + 4) << ' ' << detail << '\n';
    m_log.flush();
}

void BoardFirmware::handleWrite(quint16 page, quint32 reg, const QByteArray &data)
{
    if (page == ControlPage) {
        for (int i = 0; i < data.size(); ++i)
            m_controlRegisters[reg + quint32(i)] = quint8(data[i]);
    }
    const bool start = page == ControlPage && reg == RegStart && data.size() == 1 && quint8(data[0]) == StartCommand;
    if (start && m_options.earlyCompletion) {
        startAcquisition();
        m_startAcknowledgementHeld = true; // sent after the completion notification
        return;
    }
    // The acknowledgement goes first, then the notifications of the acquisition.
    sendStatus(0);
    if (start)
        startAcquisition();
}

void BoardFirmware::handleRead(quint16 page, quint32 reg, int length, int sizeCode)
{
    if (page == SamplePage && sizeCode == 8)
        handleBlockRead(reg, length);
    else
        sendReadResponse(memory(page, reg, length), sizeCode);
}

void BoardFirmware::handleBlockRead(quint32 reg, int length)
{
    ++m_blockReads;
    const auto everyKth = [this](int k) { return k > 0 && m_blockReads % k == 0; };
    if (m_blockReads == m_options.closeAfter) {
        m_line.close();
        return;
    }
    if (everyKth(m_options.dropEvery))
        return;
    if (everyKth(m_options.strayEvery)) {
        sendNotification(AcquisitionComplete, m_acquiredSamples);
        return;
    }
    std::function<void()> answer;
    if (m_acquiring) {
        answer = [this] { sendStatus(0); }; // data not ready yet
    } else {
        const QByteArray data = memory(SamplePage, reg, length);
        answer = [this, data] { sendReadResponse(data, 8); };
    }
    if (everyKth(m_options.extraStatusEvery))
        answer = [this, answer] {
            answer();
            sendStatus(0);
        };
    if (everyKth(m_options.lateEvery))
        QTimer::singleShot(m_options.lateMs, this, answer); // the data as it was when asked for
    else
        answer();
}

QByteArray BoardFirmware::memory(quint16 page, quint32 reg, int length) const
{
    QByteArray data(length, '\0');
    for (int i = 0; i < length; ++i) {
        const quint32 at = reg + quint32(i);
        if (page == ControlPage)
            data[i] = char(m_controlRegisters.value(at, 0));
        else if (page == SamplePage && at < quint32(m_sampleMemory.size()))
            data[i] = m_sampleMemory[at];
    }
    return data;
}

quint32 BoardFirmware::controlQuadlet(quint32 reg) const
{
    quint32 value = 0;
    for (quint32 i = 0; i < 4; ++i)
        value = value << 8 | m_controlRegisters.value(reg + i, 0);
    return value;
}

void BoardFirmware::startAcquisition()
{
    const quint32 bits = controlQuadlet(RegSampleRate);
    float rate;
    std::memcpy(&rate, &bits, sizeof rate);
    if (!(rate > 0) || !std::isfinite(rate))
        rate = float(DefaultSampleRate);
    m_samplesToAcquire = qBound(1, qint32(controlQuadlet(RegSamples)), int(MaxSamples));
    const int channel = channelIndex(controlQuadlet(RegChannel));
    const int averaging = m_controlRegisters.value(RegAveraging, 0) >> 4;

    const QList<qint32> codes = m_signals.acquire(m_options.channels[size_t(channel)], m_samplesToAcquire, rate, averaging);
    m_sampleMemory.resize(3 * codes.size());
    for (int k = 0; k < codes.size(); ++k) {
        const quint32 code = quint32(codes[k]) & 0xFFFFFF;
        m_sampleMemory[3 * k] = char(code >> 16);
        m_sampleMemory[3 * k + 1] = char(code >> 8);
        m_sampleMemory[3 * k + 2] = char(code);
    }
    if (!m_options.dumpPath.isEmpty()) {
        QSaveFile dump(m_options.dumpPath);
        if (dump.open(QIODevice::WriteOnly | QIODevice::Text)) {
            QTextStream out(&dump);
            for (qint32 code : codes)
                out << code << '\n';
            out.flush();
            dump.commit();
        }
    }

    m_acquiring = true;
    m_acquiredSamples = 0;
    m_acquisitionSeconds = m_samplesToAcquire / double(rate);
    m_acquisitionClock.start();
    m_progressTimer.start();
}

void BoardFirmware::acquisitionTick()
{
    const double elapsed = m_acquisitionClock.nsecsElapsed() * 1e-9;
    if (elapsed < m_acquisitionSeconds) {
        m_acquiredSamples = int(m_samplesToAcquire * elapsed / m_acquisitionSeconds);
        sendNotification(AcquisitionProgress, m_acquiredSamples);
        return;
    }
    m_progressTimer.stop();
    m_acquiring = false;
    m_acquiredSamples = m_samplesToAcquire;
    sendNotification(AcquisitionComplete, m_acquiredSamples);
    if (m_startAcknowledgementHeld) {
        m_startAcknowledgementHeld = false;
        sendStatus(0);
    }
}

void BoardFirmware::sendStatus(int code)
{
    csr232packet packet;
    packet.setStatusPacketType(code);
    send(packet);
}

void BoardFirmware::sendReadResponse(const QByteArray &data, int sizeCode)
{
    csr232packet packet;
    packet.setPacketType(6);
    if (sizeCode == 8)
        packet.setVarLength(int(data.size()));
    else
        packet.setOperandSize(sizeCode);
    packet.setPayloadSize(int(data.size()));
    packet.setPayload(data); // after the size, which zeroes the payload
    send(packet);
}

void BoardFirmware::sendNotification(quint8 kind, int count)
{
    // Five data bytes: the kind, two reserved bytes, the sample count.
    csr232packet packet;
    packet.setPacketType(9);
    packet.setVarLength(5);
    packet.setPayloadSize(5);
    packet.setPayloadByte(0, kind);
    packet.setPayloadByte(3, quint8(count >> 8));
    packet.setPayloadByte(4, quint8(count));
    send(packet);
}

void BoardFirmware::send(csr232packet &packet)
{
    packet.buildPacket();
    QByteArray bytes = packet.dataBuffer();
    ++m_packetsSent;
    if (m_options.corruptEvery > 0 && m_packetsSent % m_options.corruptEvery == 0) {
        std::uniform_int_distribution<qsizetype> at(0, bytes.size() - 1);
        std::uniform_int_distribution<int> bit(0, 7);
        const qsizetype i = at(m_faultRandom);
        bytes[i] = char(bytes[i] ^ (1 << bit(m_faultRandom)));
    }
    if (m_options.stallEvery > 0 && m_packetsSent % m_options.stallEvery == 0)
        bytes.truncate(bytes.size() / 2);
    m_line.send(bytes);
    if (m_options.breakAfter > 0 && m_packetsSent == m_options.breakAfter)
        m_line.sendBreak();
}
