// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The KZ7305 board as seen over the serial link: its node, register pages,
// control registers and notification kinds. The driver and the simulated
// board both speak from this one map.
namespace kz7305RegisterMap {

constexpr std::int32_t BoardNode = 1;
// Control registers live on page 0xFFFF; the samples on page 0, three bytes each.
constexpr std::int32_t ControlPage = 0xFFFF;
constexpr std::int32_t SamplePage = 0;

constexpr std::int32_t RegReset = 0;
constexpr std::int32_t RegSamples = 4;
constexpr std::int32_t RegAveraging = 13;
constexpr std::int32_t RegMode = 14;
constexpr std::int32_t RegStart = 15;
constexpr std::int32_t RegChannel = 16;
constexpr std::int32_t RegSampleRate = 20;
constexpr std::int32_t RegBlockMode = 24;

// Written to RegStart to begin an acquisition.
constexpr std::uint8_t StartCommand = 3;

// Data byte 0 of a notification.
constexpr std::uint8_t AcquisitionComplete = 1;
constexpr std::uint8_t AcquisitionProgress = 2;

} // namespace kz7305RegisterMap
