// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverEvents.h"

#include <QList>

// Event sink that records what the link reports.
class RecordingSink : public NuvarDriverEvents
{
public:
    void DriverEvent(EventEnum evType) override { events.append(evType); }
    int count(EventEnum evType) const { return int(events.count(evType)); }
    QList<EventEnum> events;
};
