// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shows the serial monitor window without waiting, or hides it.
namespace serialMonitorVisibility {

void apply(bool show);

} // namespace serialMonitorVisibility
