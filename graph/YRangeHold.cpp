// SPDX-License-Identifier: GPL-3.0-or-later
#include "YRangeHold.h"

YRangeHold::Range YRangeHold::range(const Range &fitted, const Range &values, const QString &key)
{
    const double heldSpan = m_held.second - m_held.first;
    const bool inside = values.first >= m_held.first && values.second <= m_held.second;
    const bool fillsHalf = values.second - values.first >= 0.5 * heldSpan;
    if (m_holding && key == m_key && inside && fillsHalf)
        return m_held;
    m_key = key;
    m_held = fitted;
    m_holding = true;
    return fitted;
}
