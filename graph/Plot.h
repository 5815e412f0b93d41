// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "GraphCursors.h"
#include "GraphNavigator.h"
#include "YRangeHold.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QVector>

#include <functional>
#include <QWidget>
#include <cstdint>
#include <span>

class QCustomPlot;
class QCPGraph;
class QCPItemStraightLine;
class QCPItemText;
class QCPTextElement;
class QMouseEvent;
class QPaintDevice;
class QRubberBand;
class QWheelEvent;

// The graph of the plot window: a thin wrapper over the charting library that
// keeps every setting the plot window hands it (titles, one series, plotting
// method and style, manual X range, annotations, cursor) and rebuilds the chart
// from them on redraw(). Settings read back exactly as they were set.
// The user zooms and pans it and measures with two cursors (see README); a
// zoomed graph keeps its axis ranges across redraws until the full view.
class Plot : public QWidget
{
    Q_OBJECT

public:
    // Plotting-method codes.
    enum Method : std::int32_t { Line = 0, Points = 1, PointsAndLine = 2, Impulses = 3, Steps = 10 };

    // One annotation: a mark and/or a text at data coordinates. Symbol 0 draws
    // no mark, 16 a mark; colour is an RGB value with red in the low byte.
    struct Annotation {
        double x = 0;
        double y = 0;
        std::uint32_t color = 0;
        std::int16_t symbol = 0;
        QString text;
    };
    static constexpr int AnnotationCount = 5001;
    static constexpr std::int16_t SymbolNone = 0;
    static constexpr std::int16_t SymbolMark = 16;
    // The smallest graph whose titles and axis labels show whole.
    static constexpr int MinimumWidth = 360;
    static constexpr int MinimumHeight = 220;

    explicit Plot(QWidget *parent = nullptr);
    ~Plot() override;

    void setMainTitle(const QString &text) { m_mainTitle = text; }
    QString mainTitle() const { return m_mainTitle; }
    void setSubTitle(const QString &text) { m_subTitle = text; }
    QString subTitle() const { return m_subTitle; }
    void setXAxisLabel(const QString &text) { m_xLabel = text; }
    QString xAxisLabel() const { return m_xLabel; }
    void setYAxisLabel(const QString &text) { m_yLabel = text; }
    QString yAxisLabel() const { return m_yLabel; }

    // Replaces the series with the first numPoints values of x and y.
    void setSeriesData(std::span<const float> x, std::span<const float> y, int numPoints);
    int pointCount() const { return static_cast<int>(m_x.size()); }
    float xValue(int point) const { return static_cast<float>(m_x.value(point)); }
    float yValue(int point) const { return static_cast<float>(m_y.value(point)); }

    // A second series drawn as a red line over the first (a fitted curve),
    // not clickable; empty spans remove it.
    void setOverlayData(std::span<const double> x, std::span<const double> y);
    int overlayPointCount() const { return static_cast<int>(m_overlayX.size()); }
    double overlayYValue(int point) const { return m_overlayY.value(point); }
    double overlayXValue(int point) const { return m_overlayX.value(point); }

    // A reference graph drawn under the series in a lighter colour of the same
    // hue and the series' plotting method: not clickable, no cursor reads it,
    // and the full view fits the Y axis to it too (the X axis stays the
    // series'). Empty spans remove it.
    void setReferenceData(std::span<const double> x, std::span<const double> y);
    int referencePointCount() const { return static_cast<int>(m_referenceX.size()); }
    double referenceXValue(int point) const { return m_referenceX.value(point); }
    double referenceYValue(int point) const { return m_referenceY.value(point); }

    void setPlottingMethod(std::int32_t method) { m_method = method; }
    std::int32_t plottingMethod() const { return m_method; }
    // The two style settings at index 0: point shape and line style codes.
    void setPointType(std::int16_t value) { m_pointType = value; }
    std::int16_t pointType() const { return m_pointType; }
    void setLineType(std::int16_t value) { m_lineType = value; }
    std::int16_t lineType() const { return m_lineType; }
    // Width of one histogram bin on the X axis, so steps and impulses line up.
    void setBinWidth(double width) { m_binWidth = width; }
    double binWidth() const { return m_binWidth; }

    // Named lines in place of the series (the characterisation graph's):
    // each in a colour of its own, named in a legend.
    struct NamedLine {
        QString name;
        QVector<double> x;
        QVector<double> y;
    };
    void setNamedLines(const QList<NamedLine> &lines);
    int namedLineCount() const { return static_cast<int>(m_namedLines.size()); }
    // Decade axes, for the named lines and the series alike. The full view
    // fits the points above zero; a point at or below zero has no place on a
    // decade axis: its line falls off the edge of the graph, while the
    // cursors still read its value.
    void setLogAxes(bool x, bool y);
    bool logYAxis() const { return m_logY; }

    void setManualXRange(bool on, double minimum = 0, double maximum = 0);
    bool manualXRange() const { return m_manualX; }
    double manualXMinimum() const { return m_xMin; }
    double manualXMaximum() const { return m_xMax; }

    void setAnnotation(int index, const Annotation &annotation);
    const Annotation &annotation(int index) const;
    void setAnnotationText(int index, const QString &text);
    void setAnnotationSymbol(int index, std::int16_t symbol);
    // Symbol 0 and empty text on every annotation.
    void clearAnnotations();

    // Point cursor: the point the cursor stands on (series 0 only).
    void setCursorPoint(int point) { m_cursorPoint = point; }
    int cursorPoint() const { return m_cursorPoint; }
    void setCursorMode(int mode) { m_cursorMode = mode; }
    int cursorMode() const { return m_cursorMode; }

    // The units of the axes, for the cursor readout ("samples", "codes", "Hz",
    // "dB"...). Other units start the full view again.
    void setAxisUnits(const QString &xUnit, const QString &yUnit);
    QString xUnit() const { return m_xUnit; }
    QString yUnit() const { return m_yUnit; }

    // Zoom and pan: only the axis ranges change, and the chart repaints.
    AxisSpan xRange() const;
    AxisSpan yRange() const;
    bool isZoomed() const { return m_navigator.zoomed(); }
    // Scales one axis by factor about centre (below 1 zooms in); on a decade
    // axis each decade shown scales alike.
    void zoomAbout(Qt::Orientation axis, double centre, double factor);
    void zoomTo(AxisSpan x, AxisSpan y);
    // Moves the axes by dx and dy: data units on a linear axis, decades on a
    // decade axis.
    void panBy(double dx, double dy);
    // Fits the axes to the data again.
    void showFullView();
    // One step in or out on the time or frequency axis, about its middle.
    void zoomStep(bool in);
    // What a left drag on the graph does: draw a box to zoom into, or pan.
    enum class DragTool { ZoomBox, Pan };
    void setDragTool(DragTool tool) { m_dragTool = tool; }
    DragTool dragTool() const { return m_dragTool; }
    // Commands the graph's context menu offers below the plotting methods.
    void setMenuActions(const QList<QAction *> &actions) { m_menuActions = actions; }

    // The two measuring cursors.
    const GraphCursors &cursors() const { return m_cursors; }
    void setCursorsShown(bool shown);
    void placeCursor(int cursor, int point);
    std::optional<CursorReadout> cursorReadout() const;

    // Rebuilds the chart from the settings above and repaints. The Y axis fits
    // the data, except that for a series drawn as before (same titles, labels,
    // method and count) it keeps its range while the data fit in it.
    void redraw();
    // The Y axis range of the last redraw: lower, upper.
    std::pair<double, double> yAxisRange() const;
    // Draws the graph as it stands into target on device, laid out for the
    // device's resolution (fonts in pixels at 96 dpi, scaled to the device), so
    // a printout, a PDF and a picture of the same graph look alike.
    // False when no painter could be started on device (a printer that fails).
    // drawFirst, when given, draws on the same painter before the graph, in the
    // device's own coordinates: a printout's header (ending that painter would
    // end the print job).
    bool renderTo(QPaintDevice &device, const QRect &target,
                  const std::function<void(QPainter &)> &drawFirst = {});
    // The graph as a picture of size pixels on white.
    QImage renderImage(const QSize &size);
    // The boxes of the annotation texts shown, in pixels of the graph, as the
    // last layout placed them; texts left out for want of room have none.
    QList<QRectF> labelBoxes() const;

signals:
    // After every redraw(), so callers can tell a redraw from a data change.
    void redrawn();
    void dataPointClicked(int series, int point);
    void cursorMoved();
    void mouseInput(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    // The cursors were shown, hidden or moved, or the series under them changed.
    void cursorsChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setUpAppearance();
    // Mouse and keys: zoom, pan, cursors and the click of a point.
    void setUpNavigation();
    void onMousePress(QMouseEvent *event);
    void onMouseMove(QMouseEvent *event);
    void onMouseRelease(QMouseEvent *event);
    void onWheel(QWheelEvent *event);
    bool handleCursorKey(QKeyEvent *event);
    // After a zoom or pan: keep the axes as they are now, repaint.
    void keepView();
    void replotShown();
    // While zoomed, puts the kept ranges back on the axes; false otherwise.
    bool keepZoomedRanges();
    void drawCursorLines();
    void cursorsMoved();
    int pointNearestX(double x) const;
    // Cursors left outside the shown X range (a new block, another view)
    // come back to its edges, so the readout names what is on screen.
    void keepCursorsInView();
    int cursorLineAt(double pixelX) const;
    // The chart's own customisation: the plotting method of the view shown.
    void showMethodMenu(const QPoint &position);
    void applySeriesStyle();
    void rebuildAnnotations();
    // Puts every annotation text by its point so that none covers another or
    // the click marker; a text without room is hidden (its mark stays).
    void placeLabels();
    QCPGraph *marksIn(std::uint32_t color);
    void rescaleAxes();
    void drawNamedLines();
    // Fits the axes to the named lines; false when there are none.
    bool fitNamedLines();
    int nearestPoint(double pixelX, double pixelY) const;

    QCustomPlot *m_chart;
    QCPGraph *m_graph;
    QCPGraph *m_overlay;
    QCPGraph *m_reference;
    // One scatter series per mark colour, created when a colour first appears.
    QMap<std::uint32_t, QCPGraph *> m_marks;
    QCPTextElement *m_titleElement;
    QCPTextElement *m_subTitleElement;
    // The annotation texts of the last rebuild, each with its point (data units).
    struct PlacedLabel {
        QCPItemText *item;
        QPointF point;
    };
    QVector<PlacedLabel> m_labels;

    QString m_mainTitle, m_subTitle, m_xLabel, m_yLabel;
    QVector<double> m_x, m_y;
    QVector<double> m_overlayX, m_overlayY;
    QVector<double> m_referenceX, m_referenceY;
    QList<NamedLine> m_namedLines;
    QList<QCPGraph *> m_namedGraphs;
    bool m_logX = false, m_logY = false;
    std::int32_t m_method = Line;
    std::int16_t m_pointType = 0;
    std::int16_t m_lineType = 1;
    double m_binWidth = 1;
    bool m_manualX = false;
    double m_xMin = 0, m_xMax = 0;
    QVector<Annotation> m_annotations;
    YRangeHold m_yHold;
    int m_cursorPoint = -1;
    int m_cursorMode = 0;

    QString m_xUnit, m_yUnit;
    GraphNavigator m_navigator;
    GraphCursors m_cursors;
    std::array<QPointer<QCPItemStraightLine>, GraphCursors::Count> m_cursorLines;
    // A mouse gesture from press to release.
    enum class Drag { None, Click, Box, Pan, Cursor };
    Drag m_drag = Drag::None;
    QPoint m_pressPosition, m_lastPosition;
    int m_draggedCursor = 0;
    DragTool m_dragTool = DragTool::ZoomBox;
    QList<QAction *> m_menuActions;
    QRubberBand *m_rubberBand = nullptr;
};
