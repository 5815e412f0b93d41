// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinePacer.h"

#include <cmath>

namespace {
constexpr double NanosecondBitsPerByte = 10.0 * 1e9;
}

LinePacer::LinePacer(int baud, QObject *parent)
    : QObject(parent)
    , m_baud(baud)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LinePacer::release);
}

void LinePacer::append(const QByteArray &bytes)
{
    if (m_baud <= 0) {
        emit carried(bytes);
        return;
    }
    if (m_pending.isEmpty()) {
        // An idle line starts shifting out the first bit now.
        m_busySinceNs = m_clock.nsecsElapsed();
        m_carriedInRun = 0;
    }
    m_pending.append(bytes);
    scheduleNext();
}

void LinePacer::clear()
{
    m_pending.clear();
    m_timer.stop();
}

void LinePacer::release()
{
    const double elapsedNs = double(m_clock.nsecsElapsed() - m_busySinceNs);
    const qint64 carriedByNow = qint64(elapsedNs * m_baud / NanosecondBitsPerByte);
    const qsizetype count = qMin(m_pending.size(), qsizetype(carriedByNow - m_carriedInRun));
    if (count > 0) {
        const QByteArray bytes = m_pending.left(count);
        m_pending.remove(0, count);
        m_carriedInRun += count;
        emit carried(bytes);
    }
    scheduleNext();
}

void LinePacer::scheduleNext()
{
    if (m_pending.isEmpty()) {
        m_timer.stop();
        return;
    }
    // The next byte is complete once its stop bit has gone out.
    const double dueNs = double(m_busySinceNs) + double(m_carriedInRun + 1) * NanosecondBitsPerByte / m_baud;
    const double waitNs = dueNs - double(m_clock.nsecsElapsed());
    m_timer.start(waitNs > 0 ? int(std::ceil(waitNs / 1e6)) : 0);
}
