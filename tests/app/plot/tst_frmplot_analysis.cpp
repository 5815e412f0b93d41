// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormat.h"
#include "Plot.h"
#include "TestBlocks.h"
#include "UserMessage.h"
#include "frmPlot.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QTest>
#include <cmath>
#include <numbers>

namespace {

using namespace TestBlocks;

QString sep()
{
    return QString(NumberFormat::screenSeparator());
}

} // namespace

class TestFrmPlotAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.clear();
        UserMessage::setHandler([this](const QString &text) { m_messages << text; });
    }

    void cleanup()
    {
        UserMessage::setHandler({});
    }

    void startValues()
    {
        frmPlot plot;
        QCOMPARE(plot.txtNumBins()->text(), QStringLiteral("11"));
        QCOMPARE(plot.txtNumHarm()->text(), QStringLiteral("10"));
        QVERIFY(plot.optWindow(0)->isChecked());
        QCOMPARE(plot.optWindow(5)->text(), QStringLiteral("Continuous 5th Derivative"));
        QVERIFY(!plot.cbDCspect()->isChecked());
        QVERIFY(!plot.cbMainLobe()->isChecked());
        QVERIFY(!plot.cbHarmonics()->isChecked());
        QCOMPARE(plot.cbHarmonics()->text(), QStringLiteral("Harmonics"));
        QVERIFY(plot.optDataFormat(0)->isChecked());
        QCOMPARE(plot.SNR(), 0.0);
        QCOMPARE(plot.SFDR(), 0.0);
    }

    void fftDataOfAFullScaleTone()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(4096, 64, 4096, std::ldexp(1.0, 23) - 2));
        std::vector<double> levels{1, 2, 3};
        plot.GetFFTData(levels);
        QCOMPARE(plot.currentView(), std::int16_t(frmPlot::FFTPlot));
        QCOMPARE(plot.windowTitle(), QStringLiteral("KZ7305: Fast Fourier Transform"));
        QCOMPARE(levels.size(), std::size_t(4097));
        QVERIFY(std::fabs(levels[64]) < 1e-3);
        QVERIFY(levels[0] < -100);
        QCOMPARE(levels[4096], 0.0);
        QVERIFY(plot.SNR() > 100 && plot.SNR() < 999999999);
        QVERIFY(plot.statusBarShown());
        QVERIFY(plot.statusText(1).startsWith(QStringLiteral("SNR: ")));
        QVERIFY(plot.statusText(2).startsWith(QStringLiteral("SINAD: ")));
        QVERIFY(plot.statusText(3).startsWith(QStringLiteral("THD: ")));
        QCOMPARE(plot.statusText(4),
                 QStringLiteral("SFDR: ") + NumberFormat::pattern(plot.SFDR(), 0, 4, NumberFormat::screenSeparator()));
        QVERIFY(m_messages.isEmpty());
    }

    void fftProgress()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(4096, 64, 4096, 1000));
        std::vector<std::pair<int, int>> events;
        connect(&plot, &frmPlot::CalcStatus, &plot,
                [&] { events.emplace_back(plot.CalcMax(), plot.CalcProgress()); });
        plot.showView(frmPlot::FFTPlot);
        QCOMPARE(plot.CalcMax(), 512);
        // start, 512 windowing points, 256 after the transform, end
        QCOMPARE(events.size(), std::size_t(1 + 512 + 256 + 1));
        QCOMPARE(events.front().second, 0);
        QCOMPARE(events.back().second, 0);
        int highest = 0;
        for (const auto &[max, progress] : events) {
            QCOMPARE(max, 512);
            highest = std::max(highest, progress);
        }
        QCOMPARE(highest, 255 + 256);
    }

    void marksFollowTheBoxes()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(4096, 100, 4096, 1000000), 24, 8192.0);
        plot.cbMainLobe()->setChecked(true);
        plot.showView(frmPlot::FFTPlot);
        const double snr = plot.SNR();
        const Plot::Annotation &first = plot.plot()->annotation(1);
        QCOMPARE(first.text, QStringLiteral("Main Lobe"));
        QCOMPARE(first.symbol, Plot::SymbolMark);
        QCOMPARE(first.color, 255u);
        QCOMPARE(first.x, 200.0);
        QCOMPARE(first.y, plot.fftLevels()[100]);
        QCOMPARE(plot.plot()->annotation(11).symbol, Plot::SymbolMark);
        QCOMPARE(plot.plot()->annotation(12).symbol, Plot::SymbolNone);

        // New NB without recomputation: the kept tables, marked with the new width.
        plot.cbMainLobe()->setChecked(false);
        plot.cbHarmonics()->setChecked(true);
        plot.txtNumBins()->setText(QStringLiteral("3"));
        plot.txtNumHarm()->setText(QStringLiteral("3"));
        plot.UpdatePlot();
        QCOMPARE(plot.plot()->annotation(1).text, QStringLiteral("H2"));
        QCOMPARE(plot.plot()->annotation(1).x, 400.0);
        QCOMPARE(plot.plot()->annotation(1).color, 8388736u);
        QCOMPARE(plot.plot()->annotation(4).text, QStringLiteral("H3"));
        QCOMPARE(plot.plot()->annotation(4).x, 600.0);
        QCOMPARE(plot.plot()->annotation(7).symbol, Plot::SymbolNone);
        QCOMPARE(plot.SNR(), snr);
    }

    void noSamplesLeaveTheMetricsUncomputed()
    {
        frmPlot plot;
        loadBlock(plot, {});
        plot.cbMainLobe()->setChecked(true);
        std::vector<double> levels;
        plot.GetFFTData(levels);
        QCOMPARE(levels, std::vector<double>{0.0});
        QCOMPARE(plot.SNR(), 999999999.0);
        QCOMPARE(plot.THD(), 999999999.0);
        QCOMPARE(plot.statusText(1), QStringLiteral("SNR: -"));
        QCOMPARE(plot.plot()->annotation(1).symbol, Plot::SymbolNone);
    }

    void longBlockIsCappedToTheBuffer()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(70000, 1000, 32768, 100000));
        std::vector<double> levels;
        plot.GetFFTData(levels);
        QCOMPARE(plot.fftLength(), 32768);
        QCOMPARE(levels.size(), std::size_t(32769));
        QVERIFY(std::fabs(levels[1000] - 20 * std::log10(50000.0 / std::ldexp(1.0, 22))) < 0.01);
    }

    void keptResultsUntilAParameterChanges()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 50, 1024, 100000));
        plot.showView(frmPlot::FFTPlot);
        const double snr = plot.SNR();
        plot.LoadData(sineCodes(1024, 70, 1024, 1000));
        plot.UpdatePlot();
        QCOMPARE(plot.SNR(), snr);
        plot.setnumPoints(1024);
        plot.UpdatePlot();
        QVERIFY(plot.SNR() != snr);
        QCOMPARE(plot.lobeTables().mainLobe[0], 70);
    }

    void windowOptionRecomputes()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 50, 1024, 100000));
        plot.showView(frmPlot::TimeDomain);
        plot.optWindow(4)->click();
        QCOMPARE(plot.currentView(), std::int16_t(frmPlot::FFTPlot));
        // Blackman-Harris: a tone exactly on a bin spreads into its neighbours.
        QVERIFY(plot.fftLevels()[51] > -60);

        plot.document().setDataReady(false);
        plot.showView(frmPlot::TimeDomain);
        plot.optWindow(0)->click();
        QCOMPARE(plot.currentView(), std::int16_t(frmPlot::TimeDomain));
    }

    void nothingIsComputedWhileDataIsNotReady()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 50, 1024, 100000));
        plot.document().setDataReady(false);
        plot.showView(frmPlot::FFTPlot);
        QCOMPARE(plot.SNR(), 0.0);
        QCOMPARE(plot.statusText(1), QString());
    }

    void histogramView()
    {
        frmPlot plot;
        loadBlock(plot, {5, -3, 0, 0});
        plot.showView(frmPlot::Histogram);
        QVERIFY(!plot.statusBarShown());
        QCOMPARE(plot.windowTitle(), QStringLiteral("KZ7305: Histogram"));
        QCOMPARE(plot.Minimum(), -3.0);
        QCOMPARE(plot.Maximum(), 5.0);
        QCOMPARE(plot.histogram().counts()[3], 2.0);
        QCOMPARE(plot.histogram().counts()[8], 1.0);
    }

    void dataListInEveryFormat()
    {
        frmPlot plot;
        loadBlock(plot, {-1, 0, 255, 4194304});
        plot.showView(frmPlot::DataList);
        QVERIFY(!plot.statusBarShown());
        QVERIFY(plot.lstDataList()->isVisibleTo(&plot));
        QCOMPARE(plot.dataListLines(),
                 (QStringList{QStringLiteral("1\t-1"), QStringLiteral("2\t0"), QStringLiteral("3\t255"),
                              QStringLiteral("4\t4194304")}));
        QCOMPARE(plot.lstDataList()->model()->rowCount(), 4);

        plot.optDataFormat(1)->click();
        QCOMPARE(plot.dataListLines().at(0), QStringLiteral("1\tFFFFFF"));
        QCOMPARE(plot.dataListLines().at(2), QStringLiteral("3\tFF"));
        plot.optDataFormat(2)->click();
        // One code of 2^24 needs six decimals of a percent; one code of 1 µV none.
        QCOMPARE(plot.dataListLines().at(1), QStringLiteral("2\t50") + sep() + QStringLiteral("000000"));
        QCOMPARE(plot.dataListLines().at(3), QStringLiteral("4\t75") + sep() + QStringLiteral("000000"));
        plot.optDataFormat(3)->click();
        QCOMPARE(plot.dataListLines().at(2), QStringLiteral("3\t255 µV"));
    }

    void longDataListKeepsEveryLine()
    {
        frmPlot plot;
        std::vector<std::int32_t> codes(43690);
        for (std::size_t i = 0; i < codes.size(); ++i)
            codes[i] = static_cast<std::int32_t>(i);
        loadBlock(plot, codes);
        int highest = 0;
        connect(&plot, &frmPlot::CalcStatus, &plot, [&] { highest = std::max(highest, plot.CalcProgress()); });
        plot.showView(frmPlot::DataList);
        QCOMPARE(plot.dataListLines().size(), 43690);
        QCOMPARE(plot.dataListLines().last(), QStringLiteral("43690\t43689"));
        QCOMPARE(highest, 43688 / 8);
    }

private:
    QStringList m_messages;
};

QTEST_MAIN(TestFrmPlotAnalysis)
#include "tst_frmplot_analysis.moc"
