// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverEnums.h"
#include "NuvarDriverExport.h"

#include <QString>
#include <cstdint>
#include <span>

class NuvarDriverEvents;

// The contract every board driver implements and the program calls. Members are
// listed in their slot order; a property is a getter plus a set... method. Every
// member may fail by throwing NuvarDriverError.
//
// This class is usable on its own and does nothing: methods return at once,
// reads give 0 or empty text, and no event is ever raised.
//
// SamplesReceived is 32-bit (a 16-bit count goes negative above 32 767 samples,
// and blocks of up to 43 690 samples are acquired).
class NUVARDRIVER_EXPORT NuvarDriverClass
{
public:
    virtual ~NuvarDriverClass();

    virtual void DriverOpen(NuvarDriverEvents &evInterface);
    virtual void DriverClose();
    virtual void Setup();
    virtual StatusEnum Status();
    virtual void setTriggerType(TriggerTypeEnum value);
    virtual TriggerTypeEnum TriggerType();
    virtual void setTriggerLevel(float value);
    virtual float TriggerLevel();
    virtual void StartAcquisition();
    // Stops waiting for the acquisition under way: no EVENT_ACQ_DONE follows,
    // and a completion the board sends later, while none runs, is ignored. A
    // call still waiting for the board (Configure, StartAcquisition,
    // setSampleRate) returns soon after, as failed.
    virtual void AbortAcquisition();
    virtual void StartDataReceive(std::int16_t nChannel, std::int32_t nSamples);
    // Ends the reception under way without a sample and without further
    // events; answers still due to it never become part of the next one.
    virtual void AbortDataReceive();
    // Copies sample i of the last reception to Data[i]; fails when Data is shorter
    // than the reception.
    virtual void GetData(std::span<std::int32_t> Data);
    virtual std::int32_t SamplesReceived();
    virtual void Configure();
    virtual void setSamples(std::int32_t value);
    virtual std::int32_t Samples();
    virtual void setSampleRate(double value);
    virtual double SampleRate();
    virtual void setPreTriggerSamples(std::int32_t value);
    virtual std::int32_t PreTriggerSamples();
    virtual double MinVolt(std::int16_t Channel);
    virtual std::int32_t MinCode(std::int16_t Channel);
    virtual double MaxVolt(std::int16_t Channel);
    virtual std::int32_t MaxCode(std::int16_t Channel);
    // The program's main window (its window id, as 32 bits): the driver's
    // dialogs open above it.
    virtual void sethWndParent(std::int32_t value);
    virtual std::int16_t Channels();
    virtual QString ChannelName(std::int16_t Channel);
    virtual void setBoardName(const QString &value);
    virtual QString BoardName();
    virtual std::int32_t CurrentSample();
    // Added after the slots above: why the latest failure (STATUS_ERROR, an
    // error event) happened, in words for the user; empty when the driver
    // cannot tell.
    virtual QString LastError();
};
