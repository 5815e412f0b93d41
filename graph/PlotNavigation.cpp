// SPDX-License-Identifier: GPL-3.0-or-later
// The graph's mouse and keys: zoom, pan, the two measuring cursors and the
// click of a point (see the README for the controls).
#include "Plot.h"

#include <qcustomplot.h>

#include <QRubberBand>
#include <algorithm>
#include <cmath>

namespace {

constexpr double WheelStepFactor = 0.85; // one wheel notch in
constexpr int DragThreshold = 4;         // pixels a click may wander
constexpr int BoxMinimum = 5;            // pixels a zoom box needs on an axis
constexpr int CursorGrabDistance = 5;    // pixels from a cursor line that grab it
constexpr int CursorLargeStep = 10;      // points per Shift+arrow
constexpr double KeyZoomFactor = 0.5;    // one Zoom In step (+ key, menu)

const QColor CursorColors[GraphCursors::Count] = {QColor(200, 30, 30), QColor(20, 130, 40)};

// Zoom and pan act on what the eye sees: on a decade axis, on the logarithms
// of the values, so a step scales or moves every decade alike.
bool isDecades(const QCPAxis *axis)
{
    return axis->scaleType() == QCPAxis::stLogarithmic;
}

double toSteps(const QCPAxis *axis, double value)
{
    return isDecades(axis) ? std::log10(value) : value;
}

double fromSteps(const QCPAxis *axis, double value)
{
    return isDecades(axis) ? std::pow(10.0, value) : value;
}

AxisSpan stepsOf(const QCPAxis *axis)
{
    return {toSteps(axis, axis->range().lower), toSteps(axis, axis->range().upper)};
}

void setSteps(QCPAxis *axis, AxisSpan span)
{
    axis->setRange(fromSteps(axis, span.lower), fromSteps(axis, span.upper));
}

} // namespace

void Plot::setUpNavigation()
{
    m_rubberBand = new QRubberBand(QRubberBand::Rectangle, m_chart);
    connect(m_chart, &QCustomPlot::mousePress, this, &Plot::onMousePress);
    connect(m_chart, &QCustomPlot::mouseMove, this, &Plot::onMouseMove);
    connect(m_chart, &QCustomPlot::mouseRelease, this, &Plot::onMouseRelease);
    connect(m_chart, &QCustomPlot::mouseWheel, this, &Plot::onWheel);
    connect(m_chart, &QCustomPlot::mouseDoubleClick, this, &Plot::showFullView);
}

void Plot::setAxisUnits(const QString &xUnit, const QString &yUnit)
{
    if (xUnit == m_xUnit && yUnit == m_yUnit)
        return;
    // Ranges of other quantities mean nothing here; the cursors stay on their
    // points, so seconds and sample numbers measure the same samples.
    m_xUnit = xUnit;
    m_yUnit = yUnit;
    m_navigator.showFullView();
}

AxisSpan Plot::xRange() const
{
    return {m_chart->xAxis->range().lower, m_chart->xAxis->range().upper};
}

AxisSpan Plot::yRange() const
{
    return {m_chart->yAxis->range().lower, m_chart->yAxis->range().upper};
}

void Plot::zoomAbout(Qt::Orientation axis, double centre, double factor)
{
    QCPAxis *scaled = axis == Qt::Horizontal ? m_chart->xAxis : m_chart->yAxis;
    const double centreSteps = toSteps(scaled, centre);
    const AxisSpan span = GraphNavigator::scaledAbout(stepsOf(scaled), centreSteps, factor);
    // Single-precision data: closer than that shows nothing new.
    if (!(span.size() > 1e-6 * std::max(1.0, std::abs(centreSteps))) || !std::isfinite(span.size()))
        return;
    setSteps(scaled, span);
    keepView();
}

void Plot::zoomTo(AxisSpan x, AxisSpan y)
{
    if (x.size() > 0)
        m_chart->xAxis->setRange(x.lower, x.upper);
    if (y.size() > 0)
        m_chart->yAxis->setRange(y.lower, y.upper);
    keepView();
}

void Plot::panBy(double dx, double dy)
{
    setSteps(m_chart->xAxis, GraphNavigator::shifted(stepsOf(m_chart->xAxis), dx));
    setSteps(m_chart->yAxis, GraphNavigator::shifted(stepsOf(m_chart->yAxis), dy));
    keepView();
}

void Plot::showFullView()
{
    m_navigator.showFullView();
    rescaleAxes();
    replotShown();
}

void Plot::zoomStep(bool in)
{
    const AxisSpan x = xRange();
    zoomAbout(Qt::Horizontal, (x.lower + x.upper) / 2, in ? KeyZoomFactor : 1 / KeyZoomFactor);
}

void Plot::keepView()
{
    m_navigator.keep(xRange(), yRange());
    replotShown();
}

void Plot::replotShown()
{
    // A hidden graph is painted when it is shown or rendered.
    if (m_chart->isVisible())
        m_chart->replot();
}

bool Plot::keepZoomedRanges()
{
    if (!m_navigator.zoomed())
        return false;
    m_chart->xAxis->setRange(m_navigator.x().lower, m_navigator.x().upper);
    m_chart->yAxis->setRange(m_navigator.y().lower, m_navigator.y().upper);
    return true;
}

void Plot::setCursorsShown(bool shown)
{
    if (shown)
        m_cursors.show(pointNearestX(xRange().lower), pointNearestX(xRange().upper));
    else
        m_cursors.hide();
    cursorsMoved();
}

void Plot::placeCursor(int cursor, int point)
{
    m_cursors.place(cursor, point, pointCount());
    cursorsMoved();
}

std::optional<CursorReadout> Plot::cursorReadout() const
{
    return m_cursors.readout(std::span<const double>(m_x.constData(), static_cast<std::size_t>(m_x.size())),
                             std::span<const double>(m_y.constData(), static_cast<std::size_t>(m_y.size())),
                             m_xUnit, m_yUnit);
}

void Plot::cursorsMoved()
{
    drawCursorLines();
    replotShown();
    emit cursorsChanged();
}

void Plot::keepCursorsInView()
{
    if (!m_cursors.shown() || m_x.isEmpty())
        return;
    const AxisSpan shown = xRange();
    const int first = pointNearestX(shown.lower);
    const int last = pointNearestX(shown.upper);
    for (int c = 0; c < GraphCursors::Count; ++c) {
        const int point = m_cursors.point(c);
        if (point < first || point > last || point >= pointCount())
            m_cursors.place(c, point < first ? first : last, pointCount());
    }
}

void Plot::drawCursorLines()
{
    for (int c = 0; c < GraphCursors::Count; ++c) {
        QPointer<QCPItemStraightLine> &line = m_cursorLines[static_cast<std::size_t>(c)];
        const bool shown = m_cursors.shown() && !m_x.isEmpty();
        if (!line && shown)
            line = new QCPItemStraightLine(m_chart);
        if (!line)
            continue;
        line->setVisible(shown);
        if (!shown)
            continue;
        const double x = m_x[std::clamp(m_cursors.point(c), 0, static_cast<int>(m_x.size()) - 1)];
        // Top and bottom of the plotting area: any value, even on a decade axis.
        for (QCPItemPosition *end : {line->point1, line->point2}) {
            end->setAxisRect(m_chart->axisRect());
            end->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
        line->point1->setCoords(x, 0);
        line->point2->setCoords(x, 1);
        QPen pen(CursorColors[c], c == m_cursors.active() ? 2.0 : 1.0, Qt::DashLine);
        line->setPen(pen);
    }
}

int Plot::pointNearestX(double x) const
{
    if (m_x.isEmpty())
        return -1;
    // Every view's X values rise with the point index.
    const auto after = std::lower_bound(m_x.cbegin(), m_x.cend(), x);
    if (after == m_x.cend())
        return static_cast<int>(m_x.size()) - 1;
    const auto index = static_cast<int>(after - m_x.cbegin());
    if (index > 0 && x - m_x[index - 1] < *after - x)
        return index - 1;
    return index;
}

int Plot::cursorLineAt(double pixelX) const
{
    if (!m_cursors.shown() || m_x.isEmpty())
        return -1;
    for (int c = 0; c < GraphCursors::Count; ++c) {
        const double x = m_x[std::clamp(m_cursors.point(c), 0, static_cast<int>(m_x.size()) - 1)];
        if (std::abs(m_chart->xAxis->coordToPixel(x) - pixelX) <= CursorGrabDistance)
            return c;
    }
    return -1;
}

void Plot::onMousePress(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseInput(event->button(), event->modifiers(), pos.x(), pos.y());
    m_pressPosition = m_lastPosition = pos;
    const bool left = event->button() == Qt::LeftButton;
    m_drag = Drag::None;
    const bool panTool = m_dragTool == DragTool::Pan && !(event->modifiers() & Qt::ShiftModifier);
    if (event->button() == Qt::MiddleButton || (left && (event->modifiers() & Qt::ControlModifier || panTool))) {
        m_drag = Drag::Pan;
    } else if (left && event->modifiers() & Qt::ShiftModifier) {
        // Two Shift+clicks place both cursors.
        const int placed = m_cursors.active();
        m_cursors.place(placed, pointNearestX(m_chart->xAxis->pixelToCoord(pos.x())), pointCount());
        m_cursors.setActive(1 - placed);
        cursorsMoved();
    } else if (left && (m_draggedCursor = cursorLineAt(pos.x())) >= 0) {
        m_cursors.setActive(m_draggedCursor);
        m_drag = Drag::Cursor;
    } else if (left) {
        m_drag = Drag::Click;
    }
}

void Plot::onMouseMove(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    switch (m_drag) {
    case Drag::Click:
        if ((pos - m_pressPosition).manhattanLength() <= DragThreshold)
            break;
        m_drag = Drag::Box;
        m_rubberBand->show();
        [[fallthrough]];
    case Drag::Box:
        m_rubberBand->setGeometry(QRect(m_pressPosition, pos).normalized());
        break;
    case Drag::Pan:
        panBy(toSteps(m_chart->xAxis, m_chart->xAxis->pixelToCoord(m_lastPosition.x())) -
                  toSteps(m_chart->xAxis, m_chart->xAxis->pixelToCoord(pos.x())),
              toSteps(m_chart->yAxis, m_chart->yAxis->pixelToCoord(m_lastPosition.y())) -
                  toSteps(m_chart->yAxis, m_chart->yAxis->pixelToCoord(pos.y())));
        break;
    case Drag::Cursor:
        m_cursors.place(m_draggedCursor, pointNearestX(m_chart->xAxis->pixelToCoord(pos.x())), pointCount());
        cursorsMoved();
        break;
    case Drag::None:
        break;
    }
    m_lastPosition = pos;
}

void Plot::onMouseRelease(QMouseEvent *event)
{
    const Drag drag = std::exchange(m_drag, Drag::None);
    const QPoint pos = event->position().toPoint();
    if (drag == Drag::Click) {
        // A plain click marks a data point, as ever.
        const int point = nearestPoint(pos.x(), pos.y());
        if (point >= 0) {
            m_cursorPoint = point;
            emit dataPointClicked(0, point);
        }
    } else if (drag == Drag::Box) {
        m_rubberBand->hide();
        const QRect box = QRect(m_pressPosition, pos).normalized();
        // A flat box zooms one axis only.
        const AxisSpan none{0, 0};
        zoomTo(box.width() >= BoxMinimum ? GraphNavigator::between(m_chart->xAxis->pixelToCoord(box.left()),
                                                                   m_chart->xAxis->pixelToCoord(box.right()))
                                         : none,
               box.height() >= BoxMinimum ? GraphNavigator::between(m_chart->yAxis->pixelToCoord(box.top()),
                                                                    m_chart->yAxis->pixelToCoord(box.bottom()))
                                          : none);
    }
}

void Plot::onWheel(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    const int notches = delta.y() != 0 ? delta.y() : delta.x(); // Shift may turn the wheel sideways
    if (notches == 0)
        return;
    const double factor = std::pow(WheelStepFactor, notches / 120.0);
    const QPointF pos = event->position();
    if (event->modifiers() & Qt::ShiftModifier)
        zoomAbout(Qt::Vertical, m_chart->yAxis->pixelToCoord(pos.y()), factor);
    else
        zoomAbout(Qt::Horizontal, m_chart->xAxis->pixelToCoord(pos.x()), factor);
}

bool Plot::handleCursorKey(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_C:
        setCursorsShown(!m_cursors.shown());
        return true;
    case Qt::Key_1:
    case Qt::Key_2:
        m_cursors.setActive(event->key() - Qt::Key_1);
        cursorsMoved();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!m_cursors.shown())
            return false;
        m_cursors.moveActive((event->key() == Qt::Key_Left ? -1 : 1) *
                                 (event->modifiers() & Qt::ShiftModifier ? CursorLargeStep : 1),
                             pointCount());
        cursorsMoved();
        return true;
    default:
        return false;
    }
}

void Plot::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Home) {
        showFullView();
        return;
    }
    if (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Equal || event->key() == Qt::Key_Minus) {
        zoomStep(event->key() != Qt::Key_Minus);
        return;
    }
    if (handleCursorKey(event))
        return;
    // Without measuring cursors the arrows move the point cursor of the click mark.
    if (m_cursorPoint >= 0 && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        const int step = event->key() == Qt::Key_Left ? -1 : 1;
        m_cursorPoint = std::clamp(m_cursorPoint + step, 0, std::max(0, pointCount() - 1));
        emit cursorMoved();
        return;
    }
    QWidget::keyPressEvent(event);
}
