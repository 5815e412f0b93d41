// SPDX-License-Identifier: GPL-3.0-or-later
#include "serialMonitorVisibility.h"

#include "serialMonitor.h"

void serialMonitorVisibility::apply(bool show)
{
    serialMonitor *monitor = serialMonitor::instance();
    if (show) {
        monitor->show();
        monitor->raise();
    } else {
        monitor->hide();
    }
}
