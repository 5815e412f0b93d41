// SPDX-License-Identifier: GPL-3.0-or-later
#include "Plot.h"

#include <qcustomplot.h>

#include <QMenu>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

namespace {

constexpr double ScreenDpi = 96.0;

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

constexpr QColor SeriesColor(0, 70, 160);
// The series' colour mixed with white: the same hue, lighter.
constexpr QColor ReferenceColor(145, 175, 215);

void copyPoints(std::span<const double> x, std::span<const double> y, QVector<double> &xs, QVector<double> &ys)
{
    const auto n = static_cast<std::ptrdiff_t>(std::min(x.size(), y.size()));
    xs = QVector<double>(x.begin(), x.begin() + n);
    ys = QVector<double>(y.begin(), y.begin() + n);
}

QFont pixelFont(const QFont &base, int pixels, bool bold = false)
{
    // Pixel sizes keep the layout the same on every device the graph is drawn on.
    QFont font(base);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

Plot::Plot(QWidget *parent)
    : QWidget(parent), m_chart(new QCustomPlot(this)), m_annotations(AnnotationCount)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_chart);
    setFocusPolicy(Qt::StrongFocus);
    // Room for the titles and axis labels, which the chart would cut.
    setMinimumSize(MinimumWidth, MinimumHeight);

    m_chart->plotLayout()->insertRow(0);
    m_titleElement = new QCPTextElement(m_chart, QString(), pixelFont(font(), 16, true));
    m_chart->plotLayout()->addElement(0, 0, m_titleElement);
    m_chart->plotLayout()->insertRow(1);
    m_subTitleElement = new QCPTextElement(m_chart, QString(), pixelFont(font(), 12));
    m_chart->plotLayout()->addElement(1, 0, m_subTitleElement);

    // Added first, so it is drawn under the series.
    m_reference = m_chart->addGraph();
    m_reference->setAdaptiveSampling(true);
    m_reference->setSelectable(QCP::stNone);
    m_graph = m_chart->addGraph();
    m_graph->setAdaptiveSampling(true);
    m_overlay = m_chart->addGraph();
    QPen overlayPen(QColor(200, 30, 30));
    overlayPen.setWidthF(1.5);
    m_overlay->setPen(overlayPen);
    m_overlay->setSelectable(QCP::stNone);
    setUpAppearance();

    setUpNavigation();
    connect(m_chart, &QCustomPlot::afterLayout, this, &Plot::placeLabels);
    m_chart->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_chart, &QCustomPlot::customContextMenuRequested, this, &Plot::showMethodMenu);
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
    m_cursors.clampTo(static_cast<int>(n));
}

void Plot::setOverlayData(std::span<const double> x, std::span<const double> y)
{
    copyPoints(x, y, m_overlayX, m_overlayY);
}

void Plot::setReferenceData(std::span<const double> x, std::span<const double> y)
{
    copyPoints(x, y, m_referenceX, m_referenceY);
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
    QPen pen(SeriesColor);
    pen.setWidthF(m_lineType <= 1 ? 1.0 : 2.0);
    if (m_lineType == 3)
        pen.setStyle(Qt::DashLine);
    m_graph->setPen(pen);
    pen.setColor(ReferenceColor);
    m_reference->setPen(pen);
    const QCPScatterStyle points(shapeFor(m_pointType), 4);
    for (QCPGraph *graph : {m_graph, m_reference}) {
        switch (m_method) {
        case Points:
            graph->setLineStyle(QCPGraph::lsNone);
            graph->setScatterStyle(points);
            break;
        case PointsAndLine:
            graph->setLineStyle(QCPGraph::lsLine);
            graph->setScatterStyle(points);
            break;
        case Impulses:
            graph->setLineStyle(QCPGraph::lsImpulse);
            graph->setScatterStyle(QCPScatterStyle::ssNone);
            break;
        case Steps:
            graph->setLineStyle(QCPGraph::lsStepCenter);
            graph->setScatterStyle(QCPScatterStyle::ssNone);
            break;
        default:
            graph->setLineStyle(QCPGraph::lsLine);
            graph->setScatterStyle(QCPScatterStyle::ssNone);
            break;
        }
    }
}

void Plot::setUpAppearance()
{
    m_chart->setNoAntialiasingOnDrag(true);
    m_chart->setBackground(Qt::white);
    m_titleElement->setMargins(QMargins(4, 6, 4, 0));
    m_subTitleElement->setMargins(QMargins(4, 2, 4, 2));
    for (QCPAxis *axis : {m_chart->xAxis, m_chart->yAxis}) {
        axis->setLabelFont(pixelFont(font(), 13));
        axis->setTickLabelFont(pixelFont(font(), 11));
        // Whole codes stay whole up to 8 digits; volts and dB keep their decimals.
        axis->setNumberFormat(QStringLiteral("gb"));
        axis->setNumberPrecision(8);
        axis->grid()->setPen(QPen(QColor(210, 210, 210), 0, Qt::DotLine));
        axis->grid()->setSubGridVisible(false);
        axis->setPadding(4);
    }
    // Over several decades the values read alike as powers of ten (10^2 next
    // to 10^8, not 100 next to 10^8); within a decade or two, as numbers
    // (5, not 5·10^0). Linear values keep their decimals.
    connect(m_chart->yAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this, [this](const QCPRange &range) {
        const bool decades = m_logY && range.lower > 0 && range.upper / range.lower >= 1000;
        m_chart->yAxis->setNumberFormat(decades ? QStringLiteral("eb") : QStringLiteral("gb"));
        m_chart->yAxis->setNumberPrecision(decades ? 0 : 8);
    });
    // A frame round the plotting area, without ticks of its own.
    m_chart->xAxis2->setVisible(true);
    m_chart->yAxis2->setVisible(true);
    m_chart->xAxis2->setTicks(false);
    m_chart->yAxis2->setTicks(false);
    m_chart->xAxis2->setTickLabels(false);
    m_chart->yAxis2->setTickLabels(false);
}

QCPGraph *Plot::marksIn(std::uint32_t color)
{
    auto found = m_marks.find(color);
    if (found != m_marks.end())
        return found.value();
    QCPGraph *marks = m_chart->addGraph();
    marks->setLineStyle(QCPGraph::lsNone);
    marks->setAdaptiveSampling(false);
    QPen pen(fromRgbValue(color));
    pen.setWidthF(1.5);
    marks->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, pen, Qt::NoBrush, 7));
    m_marks.insert(color, marks);
    return marks;
}

void Plot::rebuildAnnotations()
{
    m_chart->clearItems();
    m_labels.clear();
    QMap<std::uint32_t, QPair<QVector<double>, QVector<double>>> marks;
    const QFont labelFont = pixelFont(font(), 11, true);
    for (const Annotation &a : std::as_const(m_annotations)) {
        if (a.symbol == SymbolNone && a.text.isEmpty())
            continue;
        if (a.symbol != SymbolNone) {
            auto &[xs, ys] = marks[a.color];
            xs.append(a.x);
            ys.append(a.y);
        }
        if (!a.text.isEmpty()) {
            // On white, so marks and the trace stay readable; placeLabels() puts
            // it by its point once the chart is laid out.
            auto *label = new QCPItemText(m_chart);
            label->setLayer(QStringLiteral("legend")); // above the trace and the marks
            label->position->setType(QCPItemPosition::ptAbsolute);
            label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
            m_labels.append({label, QPointF(a.x, a.y)});
            label->setText(a.text);
            label->setFont(labelFont);
            label->setColor(a.symbol != SymbolNone ? fromRgbValue(a.color) : Qt::black);
            label->setPadding(QMargins(2, 1, 2, 1));
            label->setBrush(QBrush(QColor(255, 255, 255, 220)));
            // A label by the plot's edge is shown whole rather than cut.
            label->setClipToAxisRect(false);
        }
    }
    for (auto it = m_marks.begin(); it != m_marks.end(); ++it)
        it.value()->data()->clear();
    for (auto it = marks.cbegin(); it != marks.cend(); ++it)
        marksIn(it.key())->setData(it.value().first, it.value().second, true);
}

void Plot::rescaleAxes()
{
    if (fitNamedLines())
        return;
    if (m_x.isEmpty()) {
        m_chart->xAxis->setRange(0, 1);
        m_chart->yAxis->setRange(m_logY ? QCPRange(1, 10) : QCPRange(-1, 1));
        return;
    }
    if (m_manualX)
        m_chart->xAxis->setRange(m_xMin, m_xMin < m_xMax ? m_xMax : m_xMin + 1);
    else
        m_graph->rescaleKeyAxis();
    if (m_chart->xAxis->range().size() <= 0)
        m_chart->xAxis->setRange(m_chart->xAxis->range().lower - 0.5, m_chart->xAxis->range().upper + 0.5);
    // The values in view only, so a manual X range scales Y to what is shown;
    // on a decade axis those above zero, in decades from here on.
    const QCP::SignDomain domain = m_logY ? QCP::sdPositive : QCP::sdBoth;
    bool found = false;
    QCPRange values = m_graph->getValueRange(found, domain, m_chart->xAxis->range());
    for (const QCPGraph *extra : {m_overlay, m_reference}) {
        bool extraFound = false;
        const QCPRange range = extra->getValueRange(extraFound, domain, m_chart->xAxis->range());
        if (found && extraFound)
            values.expand(range);
    }
    if (!found)
        values = m_logY ? QCPRange(1, 10) : QCPRange(-1, 1);
    if (m_logY)
        values = QCPRange(std::log10(values.lower), std::log10(values.upper));
    double span = values.size();
    if (span <= 0)
        span = std::max(1.0, std::abs(values.lower) * 0.1);
    // Room above for the labels of marks; a count axis starts at its zero.
    const double lower = values.lower == 0 && !m_logY ? 0 : values.lower - 0.05 * span;
    // Block after block of the same kind, the range stays put while the data fit.
    const QString kind = QStringList{m_mainTitle, m_subTitle, m_xLabel, m_yLabel, QString::number(m_method),
                                     QString::number(m_x.size()), QString::number(m_logY)}.join(QChar(0x1F));
    const auto [low, high] = m_yHold.range({lower, values.upper + 0.12 * span}, {values.lower, values.upper}, kind);
    if (m_logY)
        m_chart->yAxis->setRange(std::pow(10.0, low), std::pow(10.0, high));
    else
        m_chart->yAxis->setRange(low, high);
}

std::pair<double, double> Plot::yAxisRange() const
{
    return {m_chart->yAxis->range().lower, m_chart->yAxis->range().upper};
}

void Plot::redraw()
{
    for (auto [element, text] : {std::pair{m_titleElement, m_mainTitle}, std::pair{m_subTitleElement, m_subTitle}}) {
        element->setText(text);
        element->setVisible(!text.isEmpty());
        // A hidden title would keep a line's height: an empty band above the graph.
        element->setMinimumSize(text.isEmpty() ? QSize(1, 1) : QSize());
        element->setMaximumSize(QWIDGETSIZE_MAX, text.isEmpty() ? 1 : QWIDGETSIZE_MAX);
    }
    m_chart->xAxis->setLabel(m_xLabel);
    m_chart->yAxis->setLabel(m_yLabel);
    applySeriesStyle();
    m_graph->setData(m_x, m_y, true);
    m_overlay->setData(m_overlayX, m_overlayY, true);
    m_reference->setData(m_referenceX, m_referenceY, true);
    drawNamedLines();
    rebuildAnnotations();
    if (!keepZoomedRanges())
        rescaleAxes();
    keepCursorsInView();
    drawCursorLines();
    // A hidden graph is painted when it is shown or rendered.
    if (m_chart->isVisible())
        m_chart->replot();
    emit redrawn();
    emit cursorsChanged();
}

void Plot::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_chart->replot(QCustomPlot::rpQueuedReplot);
}

bool Plot::renderTo(QPaintDevice &device, const QRect &target, const std::function<void(QPainter &)> &drawFirst)
{
    const double scale = device.logicalDpiX() / ScreenDpi;
    const int width = std::max(1, qRound(target.width() / scale));
    const int height = std::max(1, qRound(target.height() / scale));
    QCPPainter painter(&device);
    if (!painter.isActive())
        return false;
    if (drawFirst) {
        painter.save();
        drawFirst(painter);
        painter.restore();
    }
    painter.setMode(QCPPainter::pmVectorized);
    if (scale != 1.0)
        painter.setMode(QCPPainter::pmNonCosmetic);
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    m_chart->toPainter(&painter, width, height);
    painter.end();
    // Rendering lays the chart out for the target; the screen gets its own back.
    m_chart->replot(QCustomPlot::rpQueuedReplot);
    return true;
}

QImage Plot::renderImage(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    renderTo(image, QRect(QPoint(0, 0), size));
    return image;
}

void Plot::showMethodMenu(const QPoint &position)
{
    static const std::pair<const char *, Method> methods[] = {
        {"Line", Line}, {"Points", Points}, {"Points and Line", PointsAndLine}, {"Impulses", Impulses}, {"Steps", Steps}};
    QMenu menu(this);
    for (const auto &[caption, method] : methods) {
        QAction *action = menu.addAction(QString::fromLatin1(caption));
        action->setCheckable(true);
        action->setChecked(m_method == method);
        action->setData(static_cast<int>(method));
    }
    const QList<QAction *> methodEntries = menu.actions();
    if (!m_menuActions.isEmpty()) {
        menu.addSeparator();
        menu.addActions(m_menuActions);
    }
    QAction *chosen = menu.exec(m_chart->mapToGlobal(position));
    if (chosen && methodEntries.contains(chosen)) {
        m_method = chosen->data().toInt();
        redraw();
    }
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
