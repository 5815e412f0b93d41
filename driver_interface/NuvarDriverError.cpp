// SPDX-License-Identifier: GPL-3.0-or-later
#include "NuvarDriverError.h"

NuvarDriverError::NuvarDriverError(const std::string &what) : std::runtime_error(what) {}

NuvarDriverError::~NuvarDriverError() = default;
