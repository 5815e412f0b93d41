// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScpiError.h"

#include <QList>

// The status an instrument reports over the remote control: the error queue,
// oldest first, and the standard event status register (*ESR?), whose bits
// errors set by their class: -1xx command, -2xx execution, -3xx device, -4xx
// query.
class ScpiStatus
{
public:
    // Entries the queue holds; when it is full the newest becomes -350.
    static constexpr int QueueLength = 20;

    enum EventBit {
        OperationComplete = 0x01,
        QueryError = 0x04,
        DeviceError = 0x08,
        ExecutionError = 0x10,
        CommandError = 0x20,
    };
    enum StatusBit {
        ErrorQueueNotEmpty = 0x04,
        MessageAvailable = 0x10,
        EventSummary = 0x20,
    };

    void push(int code, const QString &detail = {});
    // Takes the oldest entry; "No error" when there is none.
    ScpiErrorEntry next();
    int errorCount() const { return int(m_queue.size()); }

    void setEvent(EventBit bit) { m_events |= bit; }
    // *ESR?: the register, which reading clears.
    int takeEvents();
    // *STB?. There is no event enable register: every event counts towards
    // the summary bit.
    int statusByte(bool messageAvailable) const;
    // *CLS: the queue and the event register emptied.
    void clear();

private:
    QList<ScpiErrorEntry> m_queue;
    int m_events = 0;
};
