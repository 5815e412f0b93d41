// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriverScale.h"

#include "NumberFormat.h"

#include <cmath>

DriverScale DriverScale::fromRange(double minVolt, double maxVolt, std::int64_t minCode, std::int64_t maxCode)
{
    const std::int64_t codeRange = maxCode - minCode;
    if (codeRange <= 0)
        return {};
    const double bits = std::log(double(codeRange)) / std::log(2.0);
    return {(maxVolt - minVolt) / double(codeRange), NumberFormat::roundHalfEven16(bits)};
}
