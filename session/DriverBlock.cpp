// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriverBlock.h"

#include "DriverScale.h"
#include "NuvarDriverClass.h"

#include <algorithm>

SampleBlock DriverBlock::fetch(NuvarDriverClass &driver)
{
    SampleBlock block;
    block.samples.assign(static_cast<std::size_t>(std::max(driver.Samples(), 0)), 0);
    driver.GetData(block.samples);
    const DriverScale scale = DriverScale::fromRange(driver.MinVolt(0), driver.MaxVolt(0), driver.MinCode(0),
                                                     driver.MaxCode(0));
    block.deviceId = driver.BoardName();
    block.numBits = scale.numBits;
    block.lsbSize = scale.lsbSize;
    block.sampleFreq = driver.SampleRate();
    return block;
}
