// SPDX-License-Identifier: GPL-3.0-or-later
#include "Plot.h"

#include <qcustomplot.h>

#include <QPrinter>
#include <QVBoxLayout>
#include <limits>

namespace {

QColor fromRgbValue(std::uint32_t rgb)
{
    return QColor(static_cast<int>(rgb & 0xFFU), static_cast<int>((rgb >> 8) & 0xFFU),
                  static_cast<int>((rgb >> 16) & 0xFFU));
}

QCPScatterStyle::ScatterShape shapeFor(std::int16_t pointType)
{
    switch (pointType) {
    case 1: return QCPScatterStyle::ssCross;
    case 2: return QCPScatterStyle::ssPlus;
    case 3: return QCPScatterStyle::ssCircle;
    case 4: return QCPScatterStyle::ssSquare;
    case 5: return QCPScatterStyle::ssDiamond;
    default: return QCPScatterStyle::ssDisc;
    }
}

} // namespace

Plot::Plot(QWidget *parent)
    : QWidget(parent), m_chart(new QCustomPlot(this)), m_annotations(AnnotationCount)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_chart);
    setFocusPolicy(Qt::StrongFocus);

    m_chart->setNoAntialiasingOnDrag(true);
    m_chart->plotLayout()->insertRow(0);
    m_titleElement = new QCPTextElement(m_chart, QString(), QFont(font().family(), 11, QFont::Bold));
    m_chart->plotLayout()->addElement(0, 0, m_titleElement);
    m_chart->plotLayout()->insertRow(1);
    m_subTitleElement = new QCPTextElement(m_chart, QString(), QFont(font().family(), 9));
    m_chart->plotLayout()->addElement(1, 0, m_subTitleElement);

    m_graph = m_chart->addGraph();
    m_graph->setAdaptiveSampling(true);
    m_marks = m_chart->addGraph();
    m_marks->setLineStyle(QCPGraph::lsNone);
    m_marks->setAdaptiveSampling(false);

    connect(m_chart, &QCustomPlot::mousePress, this, &Plot::onChartClicked);
}

Plot::~Plot() = default;

void Plot::setSeriesData(std::span<const float> x, std::span<const float> y, int numPoints)
{
    const auto count = static_cast<std::size_t>(std::max(0, numPoints));
    const std::size_t n = std::min({count, x.size(), y.size()});
    m_x.resize(static_cast<qsizetype>(n));
    m_y.resize(static_cast<qsizetype>(n));
    for (std::size_t i = 0; i < n; ++i) {
        m_x[static_cast<qsizetype>(i)] = x[i];
        m_y[static_cast<qsizetype>(i)] = y[i];
    }
    m_cursorPoint = std::min(m_cursorPoint, static_cast<int>(n) - 1);
}

void Plot::setManualXRange(bool on, double minimum, double maximum)
{
    m_manualX = on;
    if (on) {
        m_xMin = minimum;
        m_xMax = maximum;
    }
}

void Plot::setAnnotation(int index, const Annotation &annotation)
{
    if (index >= 0 && index < AnnotationCount)
        m_annotations[index] = annotation;
}

const Plot::Annotation &Plot::annotation(int index) const
{
    static const Annotation none;
    return index >= 0 && index < AnnotationCount ? m_annotations[index] : none;
}

void Plot::setAnnotationText(int index, const QString &text)
{
    if (index >= 0 && index < AnnotationCount)
        m_annotations[index].text = text;
}

void Plot::setAnnotationSymbol(int index, std::int16_t symbol)
{
    if (index >= 0 && index < AnnotationCount)
        m_annotations[index].symbol = symbol;
}

void Plot::clearAnnotations()
{
    for (Annotation &a : m_annotations) {
        a.symbol = SymbolNone;
        a.text.clear();
    }
}

void Plot::applySeriesStyle()
{
    QPen pen(QColor(0, 70, 160));
    pen.setWidthF(m_lineType <= 1 ? 1.0 : 2.0);
    if (m_lineType == 3)
        pen.setStyle(Qt::DashLine);
    m_graph->setPen(pen);
    const QCPScatterStyle points(shapeFor(m_pointType), 4);
    switch (m_method) {
    case Points:
        m_graph->setLineStyle(QCPGraph::lsNone);
        m_graph->setScatterStyle(points);
        break;
    case PointsAndLine:
        m_graph->setLineStyle(QCPGraph::lsLine);
        m_graph->setScatterStyle(points);
        break;
    case Impulses:
        m_graph->setLineStyle(QCPGraph::lsImpulse);
        m_graph->setScatterStyle(QCPScatterStyle::ssNone);
        break;
    case Steps:
        m_graph->setLineStyle(QCPGraph::lsStepCenter);
        m_graph->setScatterStyle(QCPScatterStyle::ssNone);
        break;
    default:
        m_graph->setLineStyle(QCPGraph::lsLine);
        m_graph->setScatterStyle(QCPScatterStyle::ssNone);
        break;
    }
}

void Plot::rebuildAnnotations()
{
    m_chart->clearItems();
    QVector<double> markX, markY;
    for (const Annotation &a : std::as_const(m_annotations)) {
        if (a.symbol == SymbolNone && a.text.isEmpty())
            continue;
        if (a.symbol != SymbolNone) {
            markX.append(a.x);
            markY.append(a.y);
        }
        if (!a.text.isEmpty()) {
            auto *label = new QCPItemText(m_chart);
            label->position->setCoords(a.x, a.y);
            label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            label->setText(a.text);
            label->setColor(a.symbol != SymbolNone ? fromRgbValue(a.color) : Qt::black);
            label->setPadding(QMargins(2, 2, 2, 6));
        }
    }
    // Marks share one colour per redraw: the first marked annotation's.
    QColor markColor = Qt::red;
    for (const Annotation &a : std::as_const(m_annotations)) {
        if (a.symbol != SymbolNone) {
            markColor = fromRgbValue(a.color);
            break;
        }
    }
    m_marks->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, markColor, 7));
    m_marks->setData(markX, markY);
}

void Plot::redraw()
{
    m_titleElement->setText(m_mainTitle);
    m_subTitleElement->setText(m_subTitle);
    m_chart->xAxis->setLabel(m_xLabel);
    m_chart->yAxis->setLabel(m_yLabel);
    applySeriesStyle();
    m_graph->setData(m_x, m_y, true);
    rebuildAnnotations();
    m_graph->rescaleAxes();
    if (m_manualX)
        m_chart->xAxis->setRange(m_xMin, m_xMax);
    if (m_y.isEmpty())
        m_chart->yAxis->setRange(-1, 1);
    else if (m_chart->yAxis->range().size() == 0)
        m_chart->yAxis->setRange(m_chart->yAxis->range().lower - 1, m_chart->yAxis->range().upper + 1);
    else
        m_chart->yAxis->scaleRange(1.08);
    m_chart->replot();
}

void Plot::renderTo(QPaintDevice &device, const QRect &target)
{
    const QSize source = m_chart->size().isEmpty() ? QSize(1200, 800) : m_chart->size();
    QCPPainter painter(&device);
    painter.translate(target.topLeft());
    const double scale = std::min(target.width() / double(source.width()), target.height() / double(source.height()));
    painter.scale(scale, scale);
    m_chart->toPainter(&painter, source.width(), source.height());
}

void Plot::print(QPrinter &printer)
{
    // A printer painter's origin is the top-left of the printable area.
    renderTo(printer, QRect(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size()));
}

int Plot::nearestPoint(double pixelX, double pixelY) const
{
    int best = -1;
    double bestDistance = std::numeric_limits<double>::max();
    for (int i = 0; i < m_x.size(); ++i) {
        const double dx = m_chart->xAxis->coordToPixel(m_x[i]) - pixelX;
        const double dy = m_chart->yAxis->coordToPixel(m_y[i]) - pixelY;
        const double distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return bestDistance <= 100.0 ? best : -1; // within 10 pixels
}

void Plot::onChartClicked(QMouseEvent *event)
{
    const QPointF pos = event->position();
    emit mouseInput(event->button(), event->modifiers(), qRound(pos.x()), qRound(pos.y()));
    const int point = nearestPoint(pos.x(), pos.y());
    if (point >= 0) {
        m_cursorPoint = point;
        emit dataPointClicked(0, point);
    }
}

void Plot::keyPressEvent(QKeyEvent *event)
{
    if (m_cursorPoint >= 0 && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        const int step = event->key() == Qt::Key_Left ? -1 : 1;
        m_cursorPoint = std::clamp(m_cursorPoint + step, 0, std::max(0, pointCount() - 1));
        emit cursorMoved();
        return;
    }
    QWidget::keyPressEvent(event);
}
