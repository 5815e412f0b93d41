// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinePacer.h"

#include <chrono>
#include <cmath>

namespace {
constexpr double NanosecondBitsPerByte = 10.0 * 1e9;
}

LinePacer::LinePacer(int baud, QObject *parent)
    : QObject(parent)
    , m_baud(baud)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LinePacer::release);
}

qint64 LinePacer::clockNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void LinePacer::append(const QByteArray &bytes, qint64 enteredNs)
{
    if (m_baud <= 0) {
        m_lastCarriedNs = enteredNs;
        emit carried(bytes);
        return;
    }
    if (m_pending.isEmpty()) {
        // An idle line starts shifting out the first bit when the bytes enter it.
        m_busySinceNs = qMax(qMin(enteredNs, clockNs()), m_lastCarriedNs);
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
    const double elapsedNs = double(clockNs() - m_busySinceNs);
    // The small allowance keeps rounding from holding back a byte that is due.
    const qint64 carriedByNow = qint64(elapsedNs * m_baud / NanosecondBitsPerByte + 1e-6);
    const qsizetype count = qMin(m_pending.size(), qsizetype(carriedByNow - m_carriedInRun));
    if (count > 0) {
        const QByteArray bytes = m_pending.left(count);
        m_pending.remove(0, count);
        m_carriedInRun += count;
        m_lastCarriedNs = m_busySinceNs + qint64(double(m_carriedInRun) * NanosecondBitsPerByte / m_baud);
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
    const double waitNs = dueNs - double(clockNs());
    m_timer.start(waitNs > 0 ? int(std::ceil(waitNs / 1e6)) : 0);
}
