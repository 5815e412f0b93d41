// SPDX-License-Identifier: GPL-3.0-or-later
#include "NuvarDriverEvents.h"

NuvarDriverEvents::~NuvarDriverEvents() = default;

void NuvarDriverEvents::DriverEvent(EventEnum) {}
