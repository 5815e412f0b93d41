// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverClass.h"
#include "NuvarDriverLimits.h"
#include "NuvarDriverSettings.h"
#include "kz7305Settings.h"
#include "packetAssembler.h"

#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class csrdrv;
class QWidget;
class frmSetup;
class stupidTimeoutMsg;

// The KZ7305 evaluation board's driver. It turns the contract's calls into
// register writes and block reads over its serial link, assembles the 24-bit
// samples the board returns and reports through DriverEvent. The link's
// communication events go to the same sink directly.
class kz7305 : public NuvarDriverClass, public kz7305Settings, public NuvarDriverSettings, public NuvarDriverLimits
{
public:
    // A block read returns at most 255 bytes: 85 samples of 3 bytes.
    static constexpr std::int32_t MaxBlockSamples = 85;
    static constexpr int BytesPerSample = 3;
    // Byte addresses of the samples must stay within 31 bits.
    static constexpr std::int32_t MaxReceiveSamples = 0x7FFFFFFF / BytesPerSample;
    static constexpr double OnBoardReference = 4.096;
    // Blocks of 8 samples and more; the board's sample memory holds 131 070
    // bytes: 43 690 samples of three.
    static constexpr std::int32_t MinSamples = 8;
    static constexpr std::int32_t MaxSamples = 43690;
    static constexpr double DefaultSampleRate = 20833.0;
    // The rates setSampleRate accepts, in samples per second.
    static constexpr double MinSampleRate = 10.0;
    static constexpr double MaxSampleRate = 50000.0;
    // The codes that three bytes of two's complement can carry.
    static constexpr std::int32_t ScaleMinCode = -8388608;
    static constexpr std::int32_t ScaleMaxCode = 8388607;
    static constexpr int ChannelNameCount = 8;
    // "Not ready" answers to one block request before the reception fails.
    static constexpr int MaxNotReadyAnswers = 100;
    // Times a reception reads blocks again after answers out of step before
    // it fails.
    static constexpr int MaxOutOfStepRereads = 3;
    // Added to an acquisition's expected duration before it counts as lost.
    static constexpr int AcquisitionMarginMs = 10000;

    kz7305();
    ~kz7305() override;
    kz7305(const kz7305 &) = delete;
    kz7305 &operator=(const kz7305 &) = delete;

    // The driver contract.
    void DriverOpen(NuvarDriverEvents &evInterface) override;
    void DriverClose() override;
    void Setup() override;
    StatusEnum Status() override { return m_status; }
    void setTriggerType(TriggerTypeEnum value) override;
    TriggerTypeEnum TriggerType() override { return TRIGGER_NONE; }
    void setTriggerLevel(float value) override { m_triggerLevel = value; }
    float TriggerLevel() override { return m_triggerLevel; }
    void StartAcquisition() override;
    // Forgets the acquisition under way: its completion, should the board
    // still send one, is ignored unless another acquisition has started.
    void AbortAcquisition() override;
    void StartDataReceive(std::int16_t nChannel, std::int32_t nSamples) override;
    // Ends the reception under way, keeping no sample of it: the block reads
    // still unanswered are given up on the link, so their late answers are
    // discarded and never reach a later reception.
    void AbortDataReceive() override;
    void GetData(std::span<std::int32_t> Data) override;
    std::int32_t SamplesReceived() override { return m_samplesReceived; }
    void Configure() override;
    void setSamples(std::int32_t value) override { m_samples = value; }
    std::int32_t Samples() override { return m_samples; }
    void setSampleRate(double value) override;
    double SampleRate() override { return m_sampleRate; }
    void setPreTriggerSamples(std::int32_t value) override { m_preTriggerSamples = value; }
    std::int32_t PreTriggerSamples() override { return m_preTriggerSamples; }
    double MinVolt(std::int16_t Channel) override;
    std::int32_t MinCode(std::int16_t Channel) override;
    double MaxVolt(std::int16_t Channel) override;
    std::int32_t MaxCode(std::int16_t Channel) override;
    void sethWndParent(std::int32_t value) override;
    std::int16_t Channels() override { return 1; }
    QString ChannelName(std::int16_t Channel) override;
    void setBoardName(const QString &value) override;
    QString BoardName() override;
    std::int32_t CurrentSample() override { return m_currentSample; }
    QString LastError() override { return m_lastError; }

    // The board settings the setup dialog edits.
    double p_vref() const override { return m_vref; }
    void setP_vref(double value) override { m_vref = value; }
    std::int16_t averages() const override { return m_averages; }
    void setAverages(std::int16_t value) override;
    std::int16_t channel() const override { return m_channel; }
    void setChannel(std::int16_t value) override { m_channel = value; }
    bool showSerialMonitor() const override { return m_showSerialMonitor; }
    void setShowSerialMonitor(bool value) override { m_showSerialMonitor = value; }
    std::uint16_t portNumber() const override;
    void setPortNumber(std::uint16_t value) override;
    bool isPortOpen() const override;

    // The same settings by name, for a program that stores them: "Port"
    // (1 .. 16), "Channel" (1, 2, 4, 8), "Averaging" (0 .. 15) and
    // "Reference" (0.5 .. 5 volts); and "PortPath", a device path that
    // becomes port 1 and is opened (not listed: it is not kept).
    QStringList SettingNames() const override;
    QString SettingValue(const QString &name) const override;
    bool setSettingValue(const QString &name, const QString &value) override;

    // What the board can do.
    std::int32_t SamplesMin() const override { return MinSamples; }
    std::int32_t SamplesMax() const override { return MaxSamples; }
    double SampleRateMin() const override { return MinSampleRate; }
    double SampleRateMax() const override { return MaxSampleRate; }
    double SampleRateDefault() const override { return DefaultSampleRate; }

    // The serial link, lent to the setup dialog.
    csrdrv *theCsrDrv() const { return m_link; }

private:
    class CallScope;

    // Asks for the next samples with a block read of a length of its own.
    void RequestNextBlock();
    // Asks for the same samples with the same read (after "not ready").
    void RequestBlockAgain();
    // After answers out of step, the blocks received with their lengths may
    // hold other blocks' samples: they and the blocks after them are read
    // again. True when the reception went back (or failed for good).
    bool rereadSuspectBlocks();
    void linkNotificationReceived();
    void linkResponseReceived();
    void linkResponseTimeout();
    void receptionFailed();
    void reportReceptionFailure(std::uint64_t reception);
    // The program's window the driver's windows open in front of, or nullptr.
    static QWidget *ownerWindow();
    void acquisitionLost();
    // Expected duration of an acquisition of the current settings, with margin.
    int acquisitionLimitMs() const;
    // Remembers the link's reason for the failure that just happened.
    void noteLinkFailure();
    // Throws NuvarDriverError saying what to do when no serial port is open.
    void requireOpenPort() const;
    void handleNotification(const PacketRef &packet);
    void assembleSamples(const csr232packet &packet);
    // Runs register exchanges that wait for the board. Notifications that
    // arrive meanwhile are handled once they are done, so a board that reports
    // at once still reports after the call's own event.
    void runBlocking(const std::function<void()> &exchange);
    void handleDeferredNotifications();
    void raise(EventEnum evType);
    bool alive(const std::weak_ptr<int> &token) const { return !token.expired(); }

    csrdrv *m_link; // owned; see the destructor
    NuvarDriverEvents *m_events = nullptr;
    QPointer<frmSetup> m_setupDialog;
    QPointer<stupidTimeoutMsg> m_timeoutMsg;

    double m_vref = OnBoardReference;
    std::int16_t m_averages = 0;
    std::int16_t m_channel = 0;
    bool m_showSerialMonitor = false;

    std::int32_t m_samples = 0;
    double m_sampleRate = DefaultSampleRate;
    std::int32_t m_preTriggerSamples = 0;
    float m_triggerLevel = 0;
    StatusEnum m_status = STATUS_IDLE;
    std::int32_t m_currentSample = 0;

    std::int32_t m_samplesToReceive = 0;
    std::int32_t m_samplesReceived = 0;
    std::vector<std::int32_t> m_buffer;
    bool m_receiving = false;
    int m_notReadyAnswers = 0;
    // The blocks of the reception so far: first sample and length in bytes.
    struct ReceivedBlock {
        std::int32_t firstSample;
        int length;
    };
    std::vector<ReceivedBlock> m_blocks;
    // The block read under way: its first sample and length in bytes.
    std::int32_t m_blockStart = 0;
    int m_requestedLength = 0;
    int m_outOfStepRereads = 0;
    // Runs when every block read length may still be answered.
    QTimer m_blockLengthWait;
    // From the start write to the completion notification.
    bool m_acquiring = false;
    QTimer m_acquisitionWatchdog;
    QString m_lastError;
    // Changes with every StartDataReceive, so a reception restarted from inside
    // an event is not continued by the one it replaced.
    std::uint64_t m_reception = 0;

    int m_blockingDepth = 0;
    int m_deferredNotifications = 0;
    // Calls into this object that are still on the stack (events raised,
    // waits); the link must outlive them.
    int m_callDepth = 0;
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};
