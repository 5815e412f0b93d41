// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "packetAssembler.h"

#include <deque>

// Unbounded first-in-first-out queue of packets. A packet belongs to the queue
// until pop() hands it to the taker.
class fifo
{
public:
    void clear() { m_items.clear(); }
    bool isEmpty() const { return m_items.empty(); }
    void push(PacketRef obj) { m_items.push_back(std::move(obj)); }
    // The oldest packet, or none when the queue is empty.
    PacketRef pop();
    quint16 itemCount() const;

private:
    std::deque<PacketRef> m_items;
};
