// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScpiCommand.h"
#include "ScpiCommandTable.h"

#include <functional>

// Reading a command's parameter: a number (read with '.' whatever the locale)
// within its range, or a Boolean; take gets the value when it is one, and the
// reply is the error otherwise: -224 for what is no number or Boolean, -222
// for a number out of range.
namespace ScpiParameters {

// A whole number; a fraction is rounded to the nearest.
ScpiReply wholeNumber(const ScpiParameter &parameter, int low, int high, const std::function<void(int)> &take);
ScpiReply number(const ScpiParameter &parameter, double low, double high, const std::function<void(double)> &take);
// ON, OFF, 1 or 0.
ScpiReply boolean(const ScpiParameter &parameter, const std::function<void(bool)> &take);

} // namespace ScpiParameters
