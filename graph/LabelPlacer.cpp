// SPDX-License-Identifier: GPL-3.0-or-later
#include "LabelPlacer.h"

#include <algorithm>

namespace LabelPlacer {

namespace {

constexpr double Lift = 6;   // pixels between a point and the text above it
constexpr double Gap = 2;    // pixels between stacked texts
constexpr int StackLevels = 6;

// Where a text may go, nearest its point first: above, stacked higher, then
// above to the left and right. Never below: there it would sit in the trace.
std::vector<QRectF> candidates(const Label &label)
{
    const double w = label.size.width();
    const double h = label.size.height();
    const QPointF p = label.anchor;
    std::vector<QRectF> boxes;
    for (int level = 0; level < StackLevels; ++level)
        boxes.emplace_back(p.x() - w / 2, p.y() - Lift - h - level * (h + Gap), w, h);
    boxes.emplace_back(p.x() - w - Lift, p.y() - Lift - h, w, h);
    boxes.emplace_back(p.x() + Lift, p.y() - Lift - h, w, h);
    return boxes;
}

} // namespace

std::vector<std::optional<QRectF>> place(const std::vector<Label> &labels, const QRectF &bounds,
                                         const std::vector<QRectF> &keepClear)
{
    std::vector<QRectF> taken = keepClear;
    std::vector<std::optional<QRectF>> placed;
    placed.reserve(labels.size());
    for (const Label &label : labels) {
        std::optional<QRectF> chosen;
        for (const QRectF &box : candidates(label)) {
            const bool free = std::none_of(taken.begin(), taken.end(),
                                           [&](const QRectF &other) { return other.intersects(box); });
            if (free && bounds.contains(box)) {
                chosen = box;
                break;
            }
        }
        if (chosen)
            taken.push_back(*chosen);
        placed.push_back(chosen);
    }
    return placed;
}

} // namespace LabelPlacer
