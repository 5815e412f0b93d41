// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScpiStatus.h"

namespace {

ScpiStatus::EventBit eventOf(int code)
{
    if (code <= -100 && code > -200)
        return ScpiStatus::CommandError;
    if (code <= -200 && code > -300)
        return ScpiStatus::ExecutionError;
    if (code <= -400 && code > -500)
        return ScpiStatus::QueryError;
    return ScpiStatus::DeviceError;
}

} // namespace

void ScpiStatus::push(int code, const QString &detail)
{
    setEvent(eventOf(code));
    if (m_queue.size() < QueueLength) {
        m_queue.append({code, detail});
        return;
    }
    // A full queue keeps its oldest entries; the newest says what was lost.
    if (m_queue.last().code != ScpiError::QueueOverflow) {
        m_queue.last() = {ScpiError::QueueOverflow, {}};
        setEvent(DeviceError);
    }
}

ScpiErrorEntry ScpiStatus::next()
{
    return m_queue.isEmpty() ? ScpiErrorEntry{} : m_queue.takeFirst();
}

int ScpiStatus::takeEvents()
{
    const int events = m_events;
    m_events = 0;
    return events;
}

int ScpiStatus::statusByte(bool messageAvailable) const
{
    int status = 0;
    if (!m_queue.isEmpty())
        status |= ErrorQueueNotEmpty;
    if (messageAvailable)
        status |= MessageAvailable;
    if (m_events != 0)
        status |= EventSummary;
    return status;
}

void ScpiStatus::clear()
{
    m_queue.clear();
    m_events = 0;
}
