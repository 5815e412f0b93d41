// SPDX-License-Identifier: GPL-3.0-or-later
// Zoom, pan and the measuring cursors of the graph, driven by mouse and keys
// over a document's views: only the axes move, and the readout reads the series.
#include "Plot.h"
#include "PlotDocument.h"
#include "ViewGraph.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <numbers>

namespace {

constexpr double Rate = 1000.0;
constexpr double Lsb = 2.5e-6;

std::vector<std::int32_t> sine(int count, double amplitude, int offset)
{
    std::vector<std::int32_t> codes(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        codes[static_cast<std::size_t>(i)] =
            offset + static_cast<std::int32_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * 13 * i / count)));
    return codes;
}

void setBlock(PlotDocument &document, const std::vector<std::int32_t> &codes)
{
    SampleBlock block;
    block.deviceId = QStringLiteral("KZ7305");
    block.numBits = 24;
    block.lsbSize = Lsb;
    block.sampleFreq = Rate;
    block.samples = codes;
    document.setBlock(block);
}

void show(PlotDocument &document, PlotDocument::View view, Plot &plot,
          ViewGraph::TimeAxis axis = ViewGraph::TimeAxis::SampleNumbers)
{
    document.setView(view);
    document.runAnalysisPass();
    ViewGraph::draw(document, plot, ViewGraph::defaultStyle(view), axis);
}

QWidget *chartOf(Plot &plot)
{
    return plot.findChild<QWidget *>();
}

void wheel(QWidget *chart, QPoint at, int angle, Qt::KeyboardModifiers modifiers = {})
{
    QWheelEvent event(at, chart->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart, &event);
}

// The point about which before was scaled by factor into after; NaN if the
// two ends disagree, i.e. the span was not scaled about one point.
double scaleCentre(AxisSpan before, AxisSpan after, double factor)
{
    const double fromLower = (after.lower - before.lower * factor) / (1 - factor);
    const double fromUpper = (after.upper - before.upper * factor) / (1 - factor);
    return std::abs(fromLower - fromUpper) < 1e-6 * before.size() ? fromLower : std::nan("");
}

void verifyInside(AxisSpan inner, AxisSpan outer)
{
    QVERIFY2(inner.lower > outer.lower && inner.upper < outer.upper,
             qPrintable(QStringLiteral("[%1, %2] not inside [%3, %4]")
                            .arg(inner.lower).arg(inner.upper).arg(outer.lower).arg(outer.upper)));
}

struct Snapshot {
    std::vector<double> levels;
    double snr = 0;
    std::array<bool, PlotDocument::ResultCount> valid{};
    std::vector<float> x, y;

    Snapshot(const PlotDocument &document, const Plot &plot)
        : levels(document.spectrum().levels().begin(), document.spectrum().levels().end()),
          snr(document.metrics().snr)
    {
        for (int r = 0; r < PlotDocument::ResultCount; ++r)
            valid[static_cast<std::size_t>(r)] = document.isValid(static_cast<PlotDocument::Result>(r));
        for (int i = 0; i < plot.pointCount(); ++i) {
            x.push_back(plot.xValue(i));
            y.push_back(plot.yValue(i));
        }
    }
    bool operator==(const Snapshot &) const = default;
};

} // namespace

class TestGraphNavigation : public QObject
{
    Q_OBJECT

private slots:
    void zoomAndPanMoveOnlyTheAxes()
    {
        PlotDocument document;
        setBlock(document, sine(4096, 1e6, 0));
        Plot plot;
        plot.resize(800, 500);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        show(document, PlotDocument::FFTPlot, plot);
        const Snapshot before(document, plot);
        QWidget *chart = chartOf(plot);
        const QPoint centre = chart->rect().center();

        // One wheel notch in scales X alone about a point near the pointer.
        const AxisSpan fullX = plot.xRange(), fullY = plot.yRange();
        wheel(chart, centre, 120);
        QVERIFY(plot.isZoomed());
        QCOMPARE(plot.yRange(), fullY);
        QVERIFY(std::abs(plot.xRange().size() - 0.85 * fullX.size()) < 1e-9 * fullX.size());
        const double about = scaleCentre(fullX, plot.xRange(), 0.85);
        QVERIFY(about > fullX.lower + 0.3 * fullX.size() && about < fullX.lower + 0.7 * fullX.size());
        // With Shift the wheel scales Y, and back out again.
        const AxisSpan zoomedX = plot.xRange();
        wheel(chart, centre, 120, Qt::ShiftModifier);
        QCOMPARE(plot.xRange(), zoomedX);
        verifyInside(plot.yRange(), fullY);
        wheel(chart, centre, -120, Qt::ShiftModifier);
        QVERIFY(std::abs(plot.yRange().size() - fullY.size()) < 1e-9 * fullY.size());

        // A dragged box zooms both axes to inside what was shown.
        const AxisSpan boxFromX = plot.xRange(), boxFromY = plot.yRange();
        QTest::mousePress(chart, Qt::LeftButton, {}, centre - QPoint(100, 80));
        QTest::mouseMove(chart, centre);
        QTest::mouseMove(chart, centre + QPoint(60, 40));
        QTest::mouseRelease(chart, Qt::LeftButton, {}, centre + QPoint(60, 40));
        verifyInside(plot.xRange(), boxFromX);
        verifyInside(plot.yRange(), boxFromY);

        // A middle drag and a Ctrl drag pan: same sizes, moved against the pointer.
        for (const auto &[button, modifiers] : {std::pair{Qt::MiddleButton, Qt::KeyboardModifiers{}},
                                                std::pair{Qt::LeftButton, Qt::KeyboardModifiers{Qt::ControlModifier}}}) {
            const AxisSpan x = plot.xRange(), y = plot.yRange();
            QTest::mousePress(chart, button, modifiers, centre);
            QTest::mouseMove(chart, centre + QPoint(50, 0));
            QTest::mouseRelease(chart, button, modifiers, centre + QPoint(50, 0));
            QVERIFY(plot.xRange().lower < x.lower);
            QVERIFY(std::abs(plot.xRange().size() - x.size()) < 1e-9 * x.size());
            QCOMPARE(plot.yRange(), y);
        }

        // The analysis, its flags and the series stayed as they were.
        QVERIFY(Snapshot(document, plot) == before);

        // Home fits the axes to the data again.
        plot.setFocus();
        QTest::keyClick(&plot, Qt::Key_Home);
        QVERIFY(!plot.isZoomed());
        QCOMPARE(plot.xRange(), fullX);
        QCOMPARE(plot.yRange(), fullY);
    }

    void zoomSurvivesNewBlocksUntilTheFullView()
    {
        PlotDocument document;
        setBlock(document, sine(1000, 5000, 0));
        Plot plot;
        plot.resize(800, 500);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        show(document, PlotDocument::TimeDomain, plot);
        QCOMPARE(plot.xRange(), (AxisSpan{1, 1000}));
        plot.zoomTo({100, 200}, {-10, 10});

        // The next block of a continuous run redraws within the same ranges.
        const std::vector<std::int32_t> next = sine(1000, 90000, 7000);
        setBlock(document, next);
        show(document, PlotDocument::TimeDomain, plot);
        QCOMPARE(plot.yValue(500), static_cast<float>(next[500]));
        QCOMPARE(plot.xRange(), (AxisSpan{100, 200}));
        QCOMPARE(plot.yRange(), (AxisSpan{-10, 10}));

        // A double click shows all of the new block.
        QWidget *chart = chartOf(plot);
        QTest::mouseDClick(chart, Qt::LeftButton, {}, chart->rect().center());
        QVERIFY(!plot.isZoomed());
        QCOMPARE(plot.xRange(), (AxisSpan{1, 1000}));
        QVERIFY(plot.yRange().upper > 97000);

        // Another quantity on the axes (here the histogram) starts in full view.
        plot.zoomTo({100, 200}, {-10, 10});
        show(document, PlotDocument::Histogram, plot);
        QVERIFY(!plot.isZoomed());
        QVERIFY(plot.xRange().size() > 170000);
    }

    void cursorReadoutReadsTheSeries()
    {
        const std::vector<std::int32_t> codes = sine(301, 20000, 100);
        PlotDocument document;
        setBlock(document, codes);
        Plot plot;
        plot.resize(800, 500);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        show(document, PlotDocument::TimeDomain, plot);
        QVERIFY(!plot.cursorReadout());

        // C shows the cursors at a third and two thirds; the keys move them.
        QTest::keyClick(&plot, Qt::Key_C);
        QTest::keyClick(&plot, Qt::Key_2);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(&plot, Qt::Key_Right);
        QTest::keyClick(&plot, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&plot, Qt::Key_1);
        QTest::keyClick(&plot, Qt::Key_Left);
        const int p1 = 100 - 1, p2 = 200 + 13;
        QCOMPARE(plot.cursors().point(0), p1);
        QCOMPARE(plot.cursors().point(1), p2);

        auto verifyReadout = [&](double x1, double y1, double x2, double y2, const QString &xUnit,
                                 const QString &yUnit, const QString &inverseUnit) {
            const std::optional<CursorReadout> r = plot.cursorReadout();
            QVERIFY(r);
            // The series holds single-precision values.
            const double fx1 = static_cast<float>(x1), fx2 = static_cast<float>(x2);
            const double fy1 = static_cast<float>(y1), fy2 = static_cast<float>(y2);
            QCOMPARE(r->x[0], fx1);
            QCOMPARE(r->x[1], fx2);
            QCOMPARE(r->y[0], fy1);
            QCOMPARE(r->y[1], fy2);
            // Differences within the last of seven digits of the exact ones.
            const auto near = [](double value, double exact, double scale) {
                return std::abs(value - exact) <= 1e-6 * scale;
            };
            QVERIFY(near(r->deltaX, x2 - x1, std::max(std::abs(x1), std::abs(x2))));
            QVERIFY(near(r->deltaY, y2 - y1, std::max(std::abs(y1), std::abs(y2))));
            QVERIFY(r->inverseDeltaX);
            QVERIFY(std::abs(*r->inverseDeltaX * (x2 - x1) - 1) < 1e-5);
            QCOMPARE(r->xUnit, xUnit);
            QCOMPARE(r->yUnit, yUnit);
            QCOMPARE(r->inverseXUnit, inverseUnit);
        };
        const auto code = [&](int p) { return static_cast<double>(codes[static_cast<std::size_t>(p)]); };
        verifyReadout(p1 + 1, code(p1), p2 + 1, code(p2), QStringLiteral("samples"), QStringLiteral("codes"),
                      QStringLiteral("1/sample"));

        // Seconds on the time axis and volts on the value axis.
        document.setDataFormat(DataFormat::ScaledByLsb);
        show(document, PlotDocument::TimeDomain, plot, ViewGraph::TimeAxis::Seconds);
        QVERIFY(plot.cursors().shown());
        const int q1 = plot.cursors().point(0), q2 = plot.cursors().point(1);
        verifyReadout(q1 / Rate, code(q1) * Lsb, q2 / Rate, code(q2) * Lsb, QStringLiteral("s"),
                      QStringLiteral("V"), QStringLiteral("Hz"));

        // Shift+click places the active cursor, then the other one is active.
        QWidget *chart = chartOf(plot);
        const int active = plot.cursors().active();
        const int before = plot.cursors().point(active);
        QTest::mouseClick(chart, Qt::LeftButton, Qt::ShiftModifier, QPoint(chart->width() / 2, chart->height() / 2));
        QCOMPARE(plot.cursors().active(), 1 - active);
        QVERIFY(plot.cursors().point(active) != before);
        const std::optional<CursorReadout> moved = plot.cursorReadout();
        QCOMPARE(moved->y[static_cast<std::size_t>(active)],
                 static_cast<double>(static_cast<float>(code(plot.cursors().point(active)) * Lsb)));

        // Both cursors on one point: no 1/ΔX.
        plot.placeCursor(0, 7);
        plot.placeCursor(1, 7);
        QVERIFY(!plot.cursorReadout()->inverseDeltaX);
        QVERIFY(plot.cursorReadout()->text(QLatin1Char('.')).endsWith(QStringLiteral("1/ΔX = none")));

        // The FFT view reads hertz and dB.
        document.setDataFormat(DataFormat::Integer);
        show(document, PlotDocument::FFTPlot, plot);
        plot.placeCursor(0, 13);
        plot.placeCursor(1, 40);
        const int n = document.spectrum().length();
        const std::span<const double> levels = document.spectrum().levels();
        verifyReadout(13 * Rate / n, levels[13], 40 * Rate / n, levels[40], QStringLiteral("Hz"),
                      QStringLiteral("dB"), QStringLiteral("s"));

        QTest::keyClick(&plot, Qt::Key_C);
        QVERIFY(!plot.cursorReadout());
    }

    // A new block whose codes lie elsewhere brings the histogram's cursors
    // into the shown range, so the readout names codes on screen.
    void cursorsFollowANewBlockIntoView()
    {
        PlotDocument document;
        setBlock(document, sine(400, 300, 0));
        Plot plot;
        plot.resize(800, 500);
        show(document, PlotDocument::Histogram, plot);
        plot.setCursorsShown(true);
        setBlock(document, sine(400, 300, 50000));
        show(document, PlotDocument::Histogram, plot);
        const std::optional<CursorReadout> readout = plot.cursorReadout();
        QVERIFY(readout);
        for (double x : readout->x)
            QVERIFY2(x >= plot.xRange().lower && x <= plot.xRange().upper, qPrintable(QString::number(x)));
    }

    // The menu's zoom steps halve and double the X span about its middle;
    // with the Pan tool a plain drag moves the view without zooming.
    void zoomStepsAndThePanTool()
    {
        PlotDocument document;
        setBlock(document, sine(400, 300, 0));
        Plot plot;
        plot.resize(800, 500);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        show(document, PlotDocument::TimeDomain, plot);
        const AxisSpan full = plot.xRange();
        QTest::keyClick(&plot, Qt::Key_Plus);
        QVERIFY(std::abs(plot.xRange().size() - full.size() / 2) < 1e-9 * full.size());
        QVERIFY(std::abs(scaleCentre(full, plot.xRange(), 0.5) - (full.lower + full.upper) / 2) < 1e-6 * full.size());
        plot.zoomStep(false);
        QVERIFY(std::abs(plot.xRange().size() - full.size()) < 1e-9 * full.size());

        plot.zoomStep(true);
        const AxisSpan zoomed = plot.xRange();
        plot.setDragTool(Plot::DragTool::Pan);
        QWidget *chart = chartOf(plot);
        const QPoint from(chart->width() / 2, chart->height() / 2);
        QTest::mousePress(chart, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, from + QPoint(-100, 0), chart->mapToGlobal(from + QPoint(-100, 0)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(chart, &move);
        QTest::mouseRelease(chart, Qt::LeftButton, {}, from + QPoint(-100, 0));
        QVERIFY(plot.xRange().lower > zoomed.lower);
        QVERIFY(std::abs(plot.xRange().size() - zoomed.size()) < 1e-9 * zoomed.size());
    }
};

QTEST_MAIN(TestGraphNavigation)
#include "tst_graphnavigation.moc"
