// SPDX-License-Identifier: GPL-3.0-or-later
#include "NuvarDriverLimits.h"

// Defined here so that the class's type information lives in the contract
// library once, for the program's dynamic_cast on a driver's object.
NuvarDriverLimits::~NuvarDriverLimits() = default;
