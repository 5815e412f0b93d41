// SPDX-License-Identifier: GPL-3.0-or-later
#include "NuvarDriverClass.h"

NuvarDriverClass::~NuvarDriverClass() = default;

void NuvarDriverClass::DriverOpen(NuvarDriverEvents &) {}
void NuvarDriverClass::DriverClose() {}
void NuvarDriverClass::Setup() {}
StatusEnum NuvarDriverClass::Status() { return STATUS_IDLE; }
void NuvarDriverClass::setTriggerType(TriggerTypeEnum) {}
TriggerTypeEnum NuvarDriverClass::TriggerType() { return TRIGGER_NONE; }
void NuvarDriverClass::setTriggerLevel(float) {}
float NuvarDriverClass::TriggerLevel() { return 0.0F; }
void NuvarDriverClass::StartAcquisition() {}
void NuvarDriverClass::AbortAcquisition() {}
void NuvarDriverClass::StartDataReceive(std::int16_t, std::int32_t) {}
void NuvarDriverClass::AbortDataReceive() {}
void NuvarDriverClass::GetData(std::span<std::int32_t>) {}
std::int32_t NuvarDriverClass::SamplesReceived() { return 0; }
void NuvarDriverClass::Configure() {}
void NuvarDriverClass::setSamples(std::int32_t) {}
std::int32_t NuvarDriverClass::Samples() { return 0; }
void NuvarDriverClass::setSampleRate(double) {}
double NuvarDriverClass::SampleRate() { return 0.0; }
void NuvarDriverClass::setPreTriggerSamples(std::int32_t) {}
std::int32_t NuvarDriverClass::PreTriggerSamples() { return 0; }
double NuvarDriverClass::MinVolt(std::int16_t) { return 0.0; }
std::int32_t NuvarDriverClass::MinCode(std::int16_t) { return 0; }
double NuvarDriverClass::MaxVolt(std::int16_t) { return 0.0; }
std::int32_t NuvarDriverClass::MaxCode(std::int16_t) { return 0; }
void NuvarDriverClass::sethWndParent(std::int32_t) {}
std::int16_t NuvarDriverClass::Channels() { return 0; }
QString NuvarDriverClass::ChannelName(std::int16_t) { return {}; }
void NuvarDriverClass::setBoardName(const QString &) {}
QString NuvarDriverClass::BoardName() { return {}; }
std::int32_t NuvarDriverClass::CurrentSample() { return 0; }
QString NuvarDriverClass::LastError() { return {}; }
