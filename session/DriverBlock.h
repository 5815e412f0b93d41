// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SampleBlock.h"

#include <cstdint>

class NuvarDriverClass;

namespace DriverBlock {

// The driver's last received block: GetData's samples (Samples() of them) with
// the board name, the scale of the channel's code and voltage range, and the
// sample rate. Throws what the driver throws.
SampleBlock fetch(NuvarDriverClass &driver, std::int16_t channel);

} // namespace DriverBlock
