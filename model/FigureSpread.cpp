// SPDX-License-Identifier: GPL-3.0-or-later
#include "FigureSpread.h"

#include <algorithm>

void FigureSpread::add(const QList<Figure> &figures)
{
    const bool first = m_blocks++ == 0;
    qsizetype numeric = 0;
    for (const Figure &figure : figures) {
        if (figure.key == QLatin1String(ToneFoundKey))
            m_toneBlocks = m_toneBlocks.value_or(0) + (figure.value != 0 ? 1 : 0);
        if (!FigureCatalogue::isNumeric(figure.kind))
            continue;
        if (first)
            m_sums.append(Sum{figure.key, 0, 0, 0, 0});
        Sum &sum = m_sums[numeric++];
        if (!figure.computed)
            continue;
        sum.min = sum.count == 0 ? figure.value : std::min(sum.min, figure.value);
        sum.max = sum.count == 0 ? figure.value : std::max(sum.max, figure.value);
        sum.total += figure.value;
        ++sum.count;
    }
}

QList<FigureSpread::Summary> FigureSpread::summaries() const
{
    QList<Summary> summaries;
    summaries.reserve(m_sums.size());
    for (const Sum &sum : m_sums)
        summaries.append({sum.key, sum.count, sum.count > 0 ? sum.total / sum.count : 0.0, sum.min, sum.max});
    return summaries;
}
