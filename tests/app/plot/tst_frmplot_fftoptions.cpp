// SPDX-License-Identifier: GPL-3.0-or-later
// The FFT options beside the graph and what they show at once; mark texts
// that never cover each other; a Y range that stays put from block to block.
#include "CollapsibleSidePanel.h"
#include "Plot.h"
#include "ReferenceBar.h"
#include "TestBlocks.h"
#include "frmPlot.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <random>

using TestBlocks::loadBlock;
using TestBlocks::sineCodes;

class TestFrmPlotFftOptions : public QObject
{
    Q_OBJECT

private slots:
    void optionsStayInSightAndActAtOnce()
    {
        frmPlot plot;
        plot.resize(1000, 700);
        loadBlock(plot, sineCodes(1024, 50, 1024, 1000));
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        plot.selectTab(1);
        QVERIFY(plot.plot()->isVisible() && plot.optWindow(0)->isVisible());

        // Choosing a window recomputes and leaves the user on the options.
        QTest::mouseClick(plot.optWindow(3), Qt::LeftButton, {}, QPoint(8, plot.optWindow(3)->height() / 2));
        QCOMPARE(plot.plot()->subTitle(), QStringLiteral("Blackman Window for 1024 Points"));
        QVERIFY(plot.optWindow(3)->isVisible());
        QCOMPARE(QApplication::focusWidget(), plot.optWindow(3));

        // Mark boxes and the reference redraw without any further command.
        plot.cbMainLobe()->setChecked(true);
        QCOMPARE(plot.plot()->annotation(1).text, QStringLiteral("Main Lobe"));
        QCOMPARE(plot.plot()->annotation(1).x, 50.0 * 4096.0 / 1024.0);
        plot.cbDCspect()->setChecked(true);
        QCOMPARE(plot.plot()->annotation(1).text, QStringLiteral("DC"));
        const double fullScaleLevel = plot.fftLevels()[50];
        QVERIFY(fullScaleLevel < -60);
        QTest::mouseClick(plot.optHighestSignal(), Qt::LeftButton, {}, QPoint(8, plot.optHighestSignal()->height() / 2));
        QVERIFY(std::fabs(plot.fftLevels()[50]) < 1e-9);
        QVERIFY(std::fabs(plot.plot()->annotation(plot.cbDCspect()->isChecked() ? 12 : 1).y) < 1e-9);

        // Folded away the options leave the graph the whole width.
        const int narrow = plot.plot()->width();
        plot.fftOptionsSide()->setExpanded(false);
        QTRY_VERIFY(plot.plot()->width() > narrow + 100);
        QVERIFY(!plot.optWindow(0)->isVisible());
    }

    // Choosing the seven-term window chooses Auto; Auto recomputes with the
    // window's own bins; noise alone shows no lobe marks and no tone figures.
    void sevenTermWindowAndAutoBins()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(4096, 300, 4096, 1000000));
        plot.cbMainLobe()->setChecked(true);
        plot.selectTab(1);
        QVERIFY(!plot.cbAutoBins()->isChecked());
        plot.optWindow(7)->click();
        QVERIFY(plot.cbAutoBins()->isChecked() && !plot.txtNumBins()->isEnabled());
        QCOMPARE(plot.plot()->subTitle(), QStringLiteral("Blackman-Harris 7-term Window for 4096 Points"));
        QCOMPARE(plot.tonePanel()->valueText(2), QStringLiteral("17"));
        QCOMPARE(plot.plot()->annotation(17).symbol, Plot::SymbolMark); // a 17-bin main lobe
        QCOMPARE(plot.plot()->annotation(18).symbol, Plot::SymbolNone);
        QVERIFY(plot.tonePanel()->valueText(3).endsWith(QLatin1String(" Hz")));

        plot.optWindow(2)->click();
        QCOMPARE(plot.tonePanel()->valueText(2), QStringLiteral("7"));
        plot.cbAutoBins()->click();
        QCOMPARE(plot.tonePanel()->valueText(2), QStringLiteral("11"));
        QVERIFY(plot.txtNumBins()->isEnabled());

        std::minstd_rand random(11);
        std::vector<std::int32_t> noise(4096);
        for (std::int32_t &code : noise)
            code = static_cast<std::int32_t>(random() % 13U); // spread without a tone
        loadBlock(plot, noise);
        plot.cbHarmonics()->setChecked(true);
        plot.UpdatePlot();
        QCOMPARE(plot.tonePanel()->note(), QStringLiteral("No tone: noise only"));
        QCOMPARE(plot.tonePanel()->valueText(0), QStringLiteral("-"));
        QCOMPARE(plot.tonePanel()->valueText(3), QStringLiteral("-"));
        QVERIFY(plot.tonePanel()->valueText(9).endsWith(QStringLiteral("nV/√Hz")));
        QCOMPARE(plot.statusText(1), QStringLiteral("SNR: -"));
        QCOMPARE(plot.plot()->annotation(1).symbol, Plot::SymbolNone);
    }

    // A full-scale tone on a bin peaks at 0 dBFS window-corrected in every
    // window; marks, cursors and a held reference follow the unit.
    void yAxisUnits()
    {
        frmPlot plot;
        constexpr int Bin = 300;
        const double amplitude = std::ldexp(1.0, 23) - 2; // the dither stays in range
        loadBlock(plot, sineCodes(4096, Bin, 4096, amplitude));
        plot.cbMainLobe()->setChecked(true);
        plot.selectTab(1);
        plot.optWindow(2)->click();
        plot.referenceBar()->btnHold()->click();
        plot.cboYAxis()->setCurrentIndex(1);
        QCOMPARE(plot.document().options().fft.unit, SpectrumUnit::DbfsWindowCorrected);
        QVERIFY(!plot.optHighestSignal()->isEnabled());
        const double expected = 20 * std::log10(amplitude / std::ldexp(1.0, 23));
        for (int w = 0; w < FftWindows::Count; ++w) {
            plot.optWindow(w)->click();
            const Plot &graph = *plot.plot();
            QCOMPARE(graph.yAxisLabel(), QStringLiteral("dBFS (window-corrected)"));
            QCOMPARE(graph.yUnit(), QStringLiteral("dBFS"));
            QVERIFY2(std::fabs(graph.yValue(Bin) - expected) <= 0.05, qPrintable(QString::number(graph.yValue(Bin))));
            const Plot::Annotation &mark = graph.annotation(1);
            QVERIFY(std::fabs(mark.y - graph.yValue(static_cast<int>(std::lround(mark.x)))) < 1e-4);
        }
        // The reference, held in dB with Hanning (-6 dB), reads 0 dBFS too.
        QVERIFY(std::fabs(plot.plot()->referenceYValue(Bin) - expected) <= 0.05);
        // 300 Hz is 300 cycles: 299 and 301 are equally near, the lower is named.
        QCOMPARE(plot.tonePanel()->valueText(10), QStringLiteral("299.00 Hz"));
    }

    // A density in volts is read on decades: the floor and the tone both in
    // view, zoom scaling decades alike; the dB units stay linear.
    void nanovoltsOnDecades()
    {
        frmPlot plot;
        constexpr int Bin = 300;
        loadBlock(plot, sineCodes(4096, Bin, 4096, 4000000));
        plot.selectTab(1);
        plot.cboYAxis()->setCurrentIndex(3);
        Plot &graph = *plot.plot();
        QVERIFY(graph.logYAxis());
        std::vector<float> bins;
        for (int i = 0; i < graph.pointCount(); ++i)
            bins.push_back(graph.yValue(i));
        std::nth_element(bins.begin(), bins.begin() + std::ptrdiff_t(bins.size() / 2), bins.end());
        const double floor = bins[bins.size() / 2];
        const auto [lower, upper] = graph.yAxisRange();
        QVERIFY2(lower > 0 && lower < floor && upper > graph.yValue(Bin),
                 qPrintable(QStringLiteral("%1 .. %2").arg(lower).arg(upper)));
        QVERIFY(upper / lower > 1e3); // a tone far above its floor

        graph.zoomAbout(Qt::Vertical, floor, 0.5);
        const auto [zoomedLower, zoomedUpper] = graph.yAxisRange();
        QVERIFY(std::fabs(std::log10(zoomedUpper / zoomedLower) - 0.5 * std::log10(upper / lower)) < 1e-6);
        QVERIFY(zoomedLower < floor && floor < zoomedUpper);

        plot.cboYAxis()->setCurrentIndex(0);
        QVERIFY(!graph.logYAxis());
        QVERIFY(graph.yAxisRange().first < -100);
    }

    void markTextsNeverCoverEachOtherOrTheMarker()
    {
        frmPlot plot;
        plot.resize(700, 480);
        // A tone near a third of the rate folds its harmonics close together.
        loadBlock(plot, sineCodes(4096, 1360, 4096, 4000000));
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        plot.cbDCspect()->setChecked(true);
        plot.cbMainLobe()->setChecked(true);
        plot.cbHarmonics()->setChecked(true);
        plot.selectTab(1);
        // The click marker on the main lobe, whose text would sit where the marker's does.
        emit plot.plot()->dataPointClicked(0, 1360);
        plot.plot()->redraw();
        QApplication::processEvents();

        int texts = 0;
        for (int i = 0; i < Plot::AnnotationCount; ++i)
            texts += plot.plot()->annotation(i).text.isEmpty() ? 0 : 1;
        const QList<QRectF> boxes = plot.plot()->labelBoxes();
        QVERIFY(boxes.size() >= 3);
        QVERIFY(boxes.size() <= texts);
        for (qsizetype i = 0; i < boxes.size(); ++i)
            for (qsizetype j = i + 1; j < boxes.size(); ++j)
                QVERIFY2(!boxes[i].intersects(boxes[j]), qPrintable(QStringLiteral("texts %1 and %2 overlap").arg(i).arg(j)));
        // The marks of left-out texts stay.
        int marks = 0;
        for (int i = 1; i < Plot::AnnotationCount; ++i)
            marks += plot.plot()->annotation(i).symbol == Plot::SymbolMark ? 1 : 0;
        QCOMPARE(marks, 11 + 11 + 9 * 11);
    }

    void yRangeStaysPutWhileBlocksFit()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 50, 1024, 100000));
        plot.selectTab(1);
        const auto first = plot.plot()->yAxisRange();
        // The next block of the same kind, a little quieter: the axis stays.
        loadBlock(plot, sineCodes(1024, 52, 1024, 90000));
        plot.UpdatePlot();
        QCOMPARE(plot.plot()->yAxisRange(), first);
        // A block that leaves the range rescales.
        loadBlock(plot, sineCodes(1024, 52, 1024, 4000000));
        plot.UpdatePlot();
        QVERIFY(plot.plot()->yAxisRange().second > first.second);
    }
};

QTEST_MAIN(TestFrmPlotFftOptions)
#include "tst_frmplot_fftoptions.moc"
