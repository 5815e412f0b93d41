// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's data set: parameters, result-valid flags, the analysis pass
// with its progress reports, time-domain statistics and their status texts.
#include "AppState.h"
#include "Plot.h"
#include "frmPlot.h"

#include <QLocale>
#include <QRadioButton>
#include <QTest>
#include <numeric>
#include <vector>

namespace {

struct ProgressLog {
    std::vector<std::pair<std::int32_t, std::int32_t>> reports; // (CalcMax, CalcProgress)
};

void setBlock(frmPlot &plot, const std::vector<std::int32_t> &samples, std::int16_t numBits)
{
    plot.setDeviceID(QStringLiteral("KZ7305EVM"));
    plot.setLSBSize(5.0 / 16777216.0);
    plot.setNumBits(numBits);
    plot.setnumPoints(static_cast<std::int32_t>(samples.size()));
    plot.setSampleFreq(20833);
    plot.LoadData(samples);
}

} // namespace

class TestPlotDataset : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void init() { AppState::setDataReady(true); }

    void startValues()
    {
        frmPlot plot;
        QCOMPARE(plot.DeviceID(), QStringLiteral("Unspecified Device Name"));
        QCOMPARE(plot.numPoints(), 0);
        QCOMPARE(plot.NumBits(), std::int16_t(0));
        QCOMPARE(plot.NormalizeFFT(), false);
        QCOMPARE(plot.currentView(), std::int16_t(frmPlot::TimeDomain));
        QVERIFY(plot.optDataFormat(0)->isChecked());
    }

    void statisticsOfARamp()
    {
        frmPlot plot;
        setBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        plot.UpdatePlot();
        QCOMPARE(plot.Mean(), 3.5);
        QCOMPARE(plot.Minimum(), 0.0);
        QCOMPARE(plot.Maximum(), 7.0);
        QVERIFY(qFuzzyCompare(plot.StdDeviation(), std::sqrt(6.0 / 64.0) * 1e6));
        QCOMPARE(plot.statusText(1), QStringLiteral("Std Dev (ppm): 306186.2178"));
        QCOMPARE(plot.statusText(2), QStringLiteral("Mean: 3.5"));
        QCOMPARE(plot.statusText(3), QStringLiteral("Maximum: 7"));
        QCOMPARE(plot.statusText(4), QStringLiteral("Minimum: 0"));
        QCOMPARE(plot.windowTitle(), QStringLiteral("KZ7305EVM: Time Domain"));
    }

    void statisticsOfAConstantBlock()
    {
        frmPlot plot;
        setBlock(plot, std::vector<std::int32_t>(100, -1234), 24);
        plot.UpdatePlot();
        QCOMPARE(plot.Minimum(), -1234.0);
        QCOMPARE(plot.Maximum(), -1234.0);
        QCOMPARE(plot.Mean(), -1234.0);
        QCOMPARE(plot.StdDeviation(), 0.0);
    }

    void statisticsBelowTwoSamples()
    {
        frmPlot plot;
        setBlock(plot, {42}, 24);
        plot.UpdatePlot();
        QCOMPARE(plot.Mean(), 42.0);
        QCOMPARE(plot.StdDeviation(), 0.0);
        setBlock(plot, {}, 24);
        plot.UpdatePlot();
        QCOMPARE(plot.Mean(), 0.0);
        QCOMPARE(plot.Maximum(), 0.0);
        QCOMPARE(plot.StdDeviation(), 0.0);
    }

    void numPointsBeyondTheLoadedBlockReadsNoFurther()
    {
        frmPlot plot;
        setBlock(plot, {1, 2, 3}, 24);
        plot.setnumPoints(1000);
        plot.UpdatePlot();
        QCOMPARE(plot.Mean(), 2.0);
        QCOMPARE(plot.plot()->pointCount(), 3);
    }

    void progressSequence_data()
    {
        QTest::addColumn<int>("points");
        QTest::newRow("8") << 8;
        QTest::newRow("4097") << 4097;
    }

    void progressSequence()
    {
        QFETCH(int, points);
        frmPlot plot;
        setBlock(plot, std::vector<std::int32_t>(static_cast<std::size_t>(points), 5), 24);
        ProgressLog log;
        connect(&plot, &frmPlot::CalcStatus, &plot,
                [&] { log.reports.emplace_back(plot.CalcMax(), plot.CalcProgress()); });
        plot.UpdatePlot();
        std::vector<std::pair<std::int32_t, std::int32_t>> expected;
        const std::int32_t max = points / 8;
        expected.emplace_back(max, 0); // start of the pass
        for (int i = 0; i < points; i += 8)
            expected.emplace_back(max, i / 8);
        expected.emplace_back(max, 0); // end of the pass
        QCOMPARE(log.reports, expected);
        QCOMPARE(max, points == 8 ? 1 : 512);
    }

    void notReadyComputesNothing()
    {
        frmPlot plot;
        setBlock(plot, {1, 2, 3, 4, 5, 6, 7, 8}, 24);
        AppState::setDataReady(false);
        int events = 0;
        connect(&plot, &frmPlot::CalcStatus, &plot, [&] {
            ++events;
            QCOMPARE(plot.CalcProgress(), 0);
        });
        plot.UpdatePlot();
        QCOMPARE(events, 1);
        QCOMPARE(plot.Mean(), 0.0);
        QVERIFY(plot.statusText(1).isEmpty());
    }

    void loadDataKeepsResultsUntilAParameterChanges()
    {
        frmPlot plot;
        setBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        plot.UpdatePlot();
        const std::vector<std::int32_t> other(8, 100);
        plot.LoadData(other);
        plot.UpdatePlot();
        QCOMPARE(plot.Mean(), 3.5); // kept results of the earlier block
        plot.setnumPoints(plot.numPoints()); // the same value still clears the flags
        plot.UpdatePlot();
        QCOMPARE(plot.Mean(), 100.0);
    }

    void everyParameterClearsTheFlags()
    {
        const std::vector<std::function<void(frmPlot &)>> assignments = {
            [](frmPlot &p) { p.setDeviceID(p.DeviceID()); },
            [](frmPlot &p) { p.setLSBSize(p.LSBSize()); },
            [](frmPlot &p) { p.setNormalizeFFT(p.NormalizeFFT()); },
            [](frmPlot &p) { p.setNumBits(p.NumBits()); },
            [](frmPlot &p) { p.setSampleFreq(20833); },
        };
        for (const auto &assign : assignments) {
            frmPlot plot;
            setBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
            plot.UpdatePlot();
            plot.LoadData(std::vector<std::int32_t>(8, 9));
            assign(plot);
            plot.UpdatePlot();
            QCOMPARE(plot.Mean(), 9.0);
        }
    }

    void statusTextsInEachFormat()
    {
        frmPlot plot;
        setBlock(plot, {-1, -2, -1, -2, -1}, 24); // mean -1.4
        plot.optDataFormat(1)->setChecked(true);
        plot.UpdatePlot();
        QCOMPARE(plot.statusText(2), QStringLiteral("Mean: FFFFFF"));
        QCOMPARE(plot.statusText(3), QStringLiteral("Maximum: FFFFFF"));
        QCOMPARE(plot.statusText(4), QStringLiteral("Minimum: FFFFFE"));

        setBlock(plot, {-2, -3}, 24); // mean -2.5 rounds to -2
        plot.UpdatePlot();
        QCOMPARE(plot.statusText(2), QStringLiteral("Mean: FFFFFE"));

        setBlock(plot, {0, 0, 4194304, 4194304}, 24);
        plot.optDataFormat(2)->setChecked(true);
        plot.UpdatePlot();
        QCOMPARE(plot.statusText(2), QStringLiteral("Mean: 62.5"));
        QCOMPARE(plot.statusText(3), QStringLiteral("Maximum: 75."));
        QCOMPARE(plot.statusText(4), QStringLiteral("Minimum: 50."));
        QVERIFY(plot.statusText(1).startsWith(QStringLiteral("Std Dev (ppm): ")));

        plot.optDataFormat(3)->setChecked(true);
        plot.UpdatePlot();
        QCOMPARE(plot.statusText(3), QStringLiteral("Maximum: 1.25"));
        QCOMPARE(plot.statusText(4), QStringLiteral("Minimum: 0."));
        // Standard deviation in volts: 2421467.8 codes of 5/2^24 V.
        QVERIFY(plot.statusText(1).startsWith(QStringLiteral("Std Dev: 0.72168783648")));
    }

    void timeDomainTraceFollowsTheDataFormat()
    {
        frmPlot plot;
        std::vector<std::int32_t> samples(40000, 0);
        samples.back() = 8388607;
        setBlock(plot, samples, 24);
        plot.optDataFormat(2)->setChecked(true);
        plot.UpdatePlot();
        QCOMPARE(plot.plot()->pointCount(), 40000);
        QCOMPARE(plot.plot()->xValue(39999), 40000.0F);
        QCOMPARE(plot.plot()->yValue(0), 50.0F);
        // Points past 32 767 are scaled like the rest, not drawn as raw codes.
        QVERIFY(std::abs(plot.plot()->yValue(39999) - 100.0F) < 1e-3F);
        QCOMPARE(plot.plot()->xAxisLabel(), QStringLiteral("Sample Number"));
        QCOMPARE(plot.plot()->yAxisLabel(), QStringLiteral("ADC Code"));
    }
};

QTEST_MAIN(TestPlotDataset)
#include "tst_plot_dataset.moc"
