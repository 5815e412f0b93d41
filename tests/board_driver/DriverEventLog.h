// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverEvents.h"

#include <QList>

#include <functional>

// Event sink that records the driver's events (without the link's COMM
// codes) and can react to each one, as the program does.
class DriverEventLog : public NuvarDriverEvents
{
public:
    void DriverEvent(EventEnum evType) override
    {
        if (evType >= EVENT_COMM_IDLE)
            return;
        events.append(evType);
        if (onEvent)
            onEvent(evType);
    }
    int count(EventEnum evType) const { return int(events.count(evType)); }

    QList<EventEnum> events;
    std::function<void(EventEnum)> onEvent;
};
