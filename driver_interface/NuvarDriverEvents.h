// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverEnums.h"
#include "NuvarDriverExport.h"

// The event sink a driver reports to. The program implements it; the driver
// (and the driver's serial link) call DriverEvent synchronously on the UI
// thread, so an implementation may call back into the driver from here.
// This class itself ignores every event.
class NUVARDRIVER_EXPORT NuvarDriverEvents
{
public:
    virtual ~NuvarDriverEvents();
    virtual void DriverEvent(EventEnum evType);
};
