// SPDX-License-Identifier: GPL-3.0-or-later
// Where the graph's annotation texts go: by their points, never over each
// other or over the click marker.
#include "LabelPlacer.h"
#include "Plot.h"

#include <qcustomplot.h>

namespace {

// The click marker's circle, kept clear of other texts.
constexpr double MarkerRadius = 5;

} // namespace

void Plot::placeLabels()
{
    std::vector<LabelPlacer::Label> labels;
    labels.reserve(static_cast<std::size_t>(m_labels.size()));
    for (const PlacedLabel &label : std::as_const(m_labels)) {
        const QPointF anchor(m_chart->xAxis->coordToPixel(label.point.x()),
                             m_chart->yAxis->coordToPixel(label.point.y()));
        const QFontMetricsF metrics(label.item->font());
        const QMargins pad = label.item->padding();
        const QSizeF size(metrics.horizontalAdvance(label.item->text()) + pad.left() + pad.right() + 1,
                          metrics.height() + pad.top() + pad.bottom());
        labels.push_back({anchor, size});
    }
    std::vector<QRectF> keepClear;
    // Annotation 0 is the click marker: its text is placed first, its circle kept free.
    if (!m_annotations.isEmpty() && m_annotations[0].symbol != SymbolNone && !m_labels.isEmpty() &&
        m_labels.first().point == QPointF(m_annotations[0].x, m_annotations[0].y)) {
        const QPointF centre = labels.front().anchor;
        keepClear.emplace_back(centre.x() - MarkerRadius, centre.y() - MarkerRadius, 2 * MarkerRadius,
                               2 * MarkerRadius);
    }
    const std::vector<std::optional<QRectF>> boxes =
        LabelPlacer::place(labels, QRectF(m_chart->axisRect()->rect()), keepClear);
    for (qsizetype i = 0; i < m_labels.size(); ++i) {
        QCPItemText *item = m_labels[i].item;
        const std::optional<QRectF> &box = boxes[static_cast<std::size_t>(i)];
        item->setVisible(box.has_value());
        if (box)
            item->position->setCoords(box->topLeft());
    }
}

QList<QRectF> Plot::labelBoxes() const
{
    QList<QRectF> boxes;
    for (const PlacedLabel &label : m_labels)
        if (label.item->visible())
            boxes.append(QRectF(label.item->topLeft->pixelPosition(), label.item->bottomRight->pixelPosition()));
    return boxes;
}
