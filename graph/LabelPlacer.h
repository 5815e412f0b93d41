// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <optional>
#include <vector>

// Places the texts of graph marks so that none covers another: each text goes
// above its point if there is room, else higher or above beside it; a text
// that finds no room is left out (its mark stays). Pixel geometry only.
namespace LabelPlacer {

struct Label {
    QPointF anchor; // the marked point, in pixels
    QSizeF size;    // the text's box
};

// Boxes for labels in order, the first placed first (give the click marker's
// text the first place). A box never overlaps an earlier box or an area of
// keepClear, and lies inside bounds. Empty where a label is left out.
std::vector<std::optional<QRectF>> place(const std::vector<Label> &labels, const QRectF &bounds,
                                         const std::vector<QRectF> &keepClear = {});

} // namespace LabelPlacer
