// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SignalModel.h"
#include "SimOptions.h"
#include "packetAssembler.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTimer>

#include <random>

class PseudoTerminal;

// Answers the host as the board's firmware does: control registers on page
// 0xFFFF, the acquired samples on page 0 (3 bytes each, most significant
// first), and notifications while an acquisition runs. Faults are injected
// on request.
class BoardFirmware : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 ControlPage = 0xFFFF;
    static constexpr quint16 SamplePage = 0x0000;
    static constexpr int MaxSamples = 65535;

    BoardFirmware(const SimOptions &options, PseudoTerminal &line, QObject *parent = nullptr);

private:
    void received(const QByteArray &bytes);
    void handle(const csr232packet &request);
    void handleWrite(quint16 page, quint32 reg, const QByteArray &data);
    void handleRead(quint16 page, quint32 reg, int length, int sizeCode);
    void handleBlockRead(quint32 reg, int length);
    QByteArray memory(quint16 page, quint32 reg, int length) const;
    void logRequest(const char *kind, const csr232packet &request, const QString &detail);
    quint32 controlQuadlet(quint32 reg) const;

    void startAcquisition();
    void acquisitionTick();

    void sendStatus(int code);
    void sendReadResponse(const QByteArray &data, int sizeCode);
    void sendNotification(quint8 kind, int count);
    void send(csr232packet &packet);

    const SimOptions &m_options;
    PseudoTerminal &m_line;
    packetAssembler m_assembler;
    SignalModel m_signals;
    std::mt19937_64 m_faultRandom;
    QFile m_log;

    QMap<quint32, quint8> m_controlRegisters;
    QByteArray m_sampleMemory;
    bool m_acquiring = false;
    int m_acquiredSamples = 0;
    int m_samplesToAcquire = 0;
    double m_acquisitionSeconds = 0;
    QElapsedTimer m_acquisitionClock;
    QTimer m_progressTimer;
    bool m_startAcknowledgementHeld = false;

    int m_packetsSent = 0;
    int m_blockReads = 0;
};
