// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriverBlock.h"

#include "DriverScale.h"
#include "NuvarDriverClass.h"

#include <algorithm>

SampleBlock DriverBlock::fetch(NuvarDriverClass &driver, std::int16_t channel)
{
    SampleBlock block;
    block.samples.assign(static_cast<std::size_t>(std::max(driver.Samples(), 0)), 0);
    driver.GetData(block.samples);
    const DriverScale scale = DriverScale::fromRange(driver.MinVolt(channel), driver.MaxVolt(channel),
                                                     driver.MinCode(channel), driver.MaxCode(channel));
    block.deviceId = driver.BoardName();
    block.numBits = scale.numBits;
    block.lsbSize = scale.lsbSize;
    block.sampleFreq = driver.SampleRate();
    return block;
}
