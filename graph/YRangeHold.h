// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <utility>

// Keeps a graph's Y range steady from one block to the next: while the graph
// is drawn the same way (same key: labels, titles, point count) the range
// stays put as long as the values stay inside it and fill at least half of
// it. Otherwise the fitted range is taken and held from then on.
class YRangeHold
{
public:
    using Range = std::pair<double, double>; // lower, upper

    Range range(const Range &fitted, const Range &values, const QString &key);

private:
    QString m_key;
    Range m_held{0, 0};
    bool m_holding = false;
};
