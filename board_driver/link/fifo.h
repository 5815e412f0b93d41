// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "packetAssembler.h"

#include <algorithm>
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
    // The oldest packet that satisfies pred, or none.
    template <typename Pred>
    PacketRef popFirst(Pred pred)
    {
        for (auto it = m_items.begin(); it != m_items.end(); ++it) {
            if (pred(**it)) {
                PacketRef found = std::move(*it);
                m_items.erase(it);
                return found;
            }
        }
        return {};
    }
    template <typename Pred>
    int countIf(Pred pred) const
    {
        return int(std::count_if(m_items.begin(), m_items.end(), [&pred](const PacketRef &item) { return pred(*item); }));
    }
    // Removes every packet that satisfies pred.
    template <typename Pred>
    void removeAll(Pred pred)
    {
        std::erase_if(m_items, [&pred](const PacketRef &item) { return pred(*item); });
    }
    quint16 itemCount() const;

private:
    std::deque<PacketRef> m_items;
};
