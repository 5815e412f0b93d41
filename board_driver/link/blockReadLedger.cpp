// SPDX-License-Identifier: GPL-3.0-or-later
#include "blockReadLedger.h"

#include <algorithm>

namespace {

// The preferred length steps down through this many units, one per read, so
// that two reads far apart rarely share a length either.
constexpr int RotationSpan = 22;
// The newest reads stay known whatever their answers (a doubled answer).
constexpr std::size_t NewestKept = 2;

} // namespace

blockReadLedger::blockReadLedger()
{
    m_clock.start();
}

bool blockReadLedger::expired(const Read &read, bool newest, qint64 now) const
{
    if (read.queued)
        return false;
    // Sent once and answered once: only a doubled answer could still come,
    // and it comes before the answer to the next read.
    if (read.sends == 1 && read.answers == 1 && !newest)
        return true;
    return now - read.lastSentMs >= m_windowMs;
}

void blockReadLedger::prune()
{
    const qint64 now = m_clock.elapsed();
    for (std::size_t i = 0; i < m_reads.size();) {
        if (expired(m_reads[i], i + NewestKept >= m_reads.size(), now))
            m_reads.erase(m_reads.begin() + std::ptrdiff_t(i));
        else
            ++i;
    }
}

blockReadLedger::Read *blockReadLedger::find(int length)
{
    const auto it = std::find_if(m_reads.begin(), m_reads.end(), [length](const Read &r) { return r.length == length; });
    return it == m_reads.end() ? nullptr : &*it;
}

bool blockReadLedger::request(const QByteArray &address, int length)
{
    prune();
    if (Read *read = find(length)) {
        if (read->address != address)
            return false;
        read->queued = true; // the same read again
        return true;
    }
    Read read;
    read.address = address;
    read.length = length;
    read.queued = true;
    m_reads.push_back(read);
    return true;
}

void blockReadLedger::sent(int length)
{
    if (Read *read = find(length)) {
        ++read->sends;
        read->queued = false;
        read->lastSentMs = m_clock.elapsed();
    }
}

bool blockReadLedger::answered(int length)
{
    prune();
    if (Read *read = find(length)) {
        ++read->answers;
        return true;
    }
    // Nobody's: kept from new reads as if it had just been asked for.
    Read stray;
    stray.length = length;
    stray.answers = 1;
    stray.lastSentMs = m_clock.elapsed();
    m_reads.push_front(stray);
    return false;
}

void blockReadLedger::forgetUnsent()
{
    for (Read &read : m_reads)
        read.queued = false;
    std::erase_if(m_reads, [](const Read &read) { return read.sends == 0 && read.answers == 0; });
}

int blockReadLedger::freeLength(int maxLength, int unit)
{
    prune();
    const int most = maxLength - maxLength % unit;
    if (most < unit)
        return 0;
    // A rest shorter than the rotation is read whole if it can be.
    const int preferred = most / unit > RotationSpan ? most - unit * (m_rotation++ % RotationSpan) : most;
    for (int length = preferred; length >= unit; length -= unit) {
        if (!find(length))
            return length;
    }
    for (int length = most; length > preferred; length -= unit) {
        if (!find(length))
            return length;
    }
    return 0;
}

int blockReadLedger::msUntilFree()
{
    prune();
    const qint64 now = m_clock.elapsed();
    qint64 soonest = m_windowMs;
    for (const Read &read : m_reads) {
        if (!read.queued)
            soonest = std::min(soonest, read.lastSentMs + m_windowMs - now);
    }
    return int(std::max<qint64>(soonest, 1));
}
