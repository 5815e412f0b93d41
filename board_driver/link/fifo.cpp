// SPDX-License-Identifier: GPL-3.0-or-later
#include "fifo.h"

#include <limits>

PacketRef fifo::pop()
{
    if (m_items.empty())
        return {};
    PacketRef oldest = std::move(m_items.front());
    m_items.pop_front();
    return oldest;
}

quint16 fifo::itemCount() const
{
    return quint16(qMin<size_t>(m_items.size(), std::numeric_limits<quint16>::max()));
}
