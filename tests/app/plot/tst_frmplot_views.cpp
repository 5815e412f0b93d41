// SPDX-License-Identifier: GPL-3.0-or-later
#include "CollapsibleSidePanel.h"
#include "FileDialogs.h"
#include "NoiseTexts.h"
#include "NumberFormat.h"
#include "Plot.h"
#include "SharedPrinter.h"
#include "TestBlocks.h"
#include "UserMessage.h"
#include "frmPlot.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPrinter>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <numbers>
#include <random>

namespace {

using TestBlocks::loadBlock;
using TestBlocks::printedSubtitle;
using TestBlocks::sineCodes;

QString sep()
{
    return QString(NumberFormat::screenSeparator());
}

QByteArray head(const QString &path, int bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

} // namespace

class TestFrmPlotViews : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_messages.clear();
        m_confirms.clear();
        m_dialogs.clear();
        UserMessage::setHandler([this](const QString &text) { m_messages << text; });
        UserMessage::setConfirmHandler([this](const QString &text) {
            m_confirms << text;
            return m_confirmAnswer;
        });
        FileDialogs::setHandler([this](FileDialogs::Mode mode, const QString &title) {
            m_dialogs << title;
            m_dialogModes << mode;
            return m_dialogAnswer;
        });
    }

    void cleanup()
    {
        UserMessage::setHandler({});
        UserMessage::setConfirmHandler({});
        FileDialogs::setHandler({});
    }

    void tabsAndStartValues()
    {
        frmPlot plot;
        QCOMPARE(plot.SSTab1()->count(), 4);
        QCOMPARE(plot.SSTab1()->tabText(0), QStringLiteral("Scope"));
        QCOMPARE(plot.SSTab1()->tabText(1), QStringLiteral("FFT"));
        QCOMPARE(plot.SSTab1()->tabText(2), QStringLiteral("Histogram"));
        QCOMPARE(plot.SSTab1()->tabText(3), QStringLiteral("Data List"));
        QVERIFY(plot.optFullScale0dB()->isChecked());
        QVERIFY(!plot.optHighestSignal()->isChecked());
        QCOMPARE(plot.optHighestSignal()->text(), QStringLiteral("Highest Signal Level Found"));
        QCOMPARE(plot.currentView(), std::int16_t(frmPlot::TimeDomain));
        QCOMPARE(plot.plot()->plottingMethod(), Plot::Line);
    }

    void tabSwitchingSetsViewCaptionAndControls_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("graphShown");
        QTest::addColumn<bool>("statusShown");
        QTest::newRow("Scope") << 0 << int(frmPlot::TimeDomain) << "KZ7305: Time Domain" << true << true;
        QTest::newRow("FFT") << 1 << int(frmPlot::FFTPlot) << "KZ7305: Fast Fourier Transform" << true << true;
        QTest::newRow("Histogram") << 2 << int(frmPlot::Histogram) << "KZ7305: Histogram" << true << false;
        QTest::newRow("Data List") << 3 << int(frmPlot::DataList) << "KZ7305: Data List" << false << false;
    }

    void tabSwitchingSetsViewCaptionAndControls()
    {
        QFETCH(int, tab);
        QFETCH(int, view);
        QFETCH(QString, caption);
        QFETCH(bool, graphShown);
        QFETCH(bool, statusShown);
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 10, 1024, 1000));
        plot.show();
        // Through the tab strip as the user does, then through the View menu's call.
        plot.SSTab1()->setCurrentIndex(tab == 0 ? 3 : 0);
        plot.SSTab1()->setCurrentIndex(tab);
        QCOMPARE(plot.currentView(), std::int16_t(view));
        QCOMPARE(plot.windowTitle(), caption);
        QCOMPARE(plot.plot()->isVisible(), graphShown);
        QCOMPARE(plot.statusBarShown(), statusShown);
        QCOMPARE(plot.lstDataList()->isVisible(), view == frmPlot::DataList);
        plot.selectTab(tab);
        QCOMPARE(plot.currentView(), std::int16_t(view));
        QCOMPARE(plot.SSTab1()->currentIndex(), tab);
        // The FFT options stand beside the graph and are shown with it.
        QCOMPARE(plot.optWindow(0)->isVisible(), view == frmPlot::FFTPlot);
    }

    // Flags are observed through a block replaced by LoadData alone, which
    // clears nothing: a view recomputes only when a switch cleared its flag.
    void switchesClearTheFlagsAsTold()
    {
        frmPlot plot;
        loadBlock(plot, std::vector<std::int32_t>(64, 10));
        plot.selectTab(0);
        QCOMPARE(plot.Mean(), 10.0);

        plot.LoadData(std::vector<std::int32_t>(64, 20));
        plot.fftOptionsSide()->setExpanded(false);
        plot.selectTab(1);
        plot.selectTab(0); // leaving the FFT view with its options folded clears nothing
        QCOMPARE(plot.Mean(), 10.0);

        plot.selectTab(2); // the histogram always clears
        QCOMPARE(plot.Maximum(), 20.0);
        plot.selectTab(0);
        QCOMPARE(plot.Mean(), 20.0);

        plot.selectTab(3);
        QCOMPARE(plot.dataListLines().first(), QStringLiteral("1\t20"));
        plot.LoadData(std::vector<std::int32_t>(64, 30));
        plot.selectTab(0);
        plot.selectTab(3);
        QCOMPARE(plot.dataListLines().first(), QStringLiteral("1\t20"));
        plot.fftOptionsSide()->setExpanded(true);
        plot.selectTab(1); // the options are in sight
        plot.selectTab(3);
        QCOMPARE(plot.dataListLines().first(), QStringLiteral("1\t30"));
    }

    void styleOfEachViewIsKept()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 10, 1024, 1000));
        plot.selectTab(1);
        QCOMPARE(plot.plot()->plottingMethod(), Plot::Line);
        plot.plot()->setPlottingMethod(Plot::Points);
        plot.plot()->setPointType(3);
        plot.selectTab(2);
        QCOMPARE(plot.plot()->plottingMethod(), Plot::Steps);
        plot.plot()->setPlottingMethod(Plot::Impulses);
        plot.selectTab(1);
        QCOMPARE(plot.plot()->plottingMethod(), Plot::Points);
        QCOMPARE(plot.plot()->pointType(), std::int16_t(3));
        plot.selectTab(0);
        QCOMPARE(plot.plot()->plottingMethod(), Plot::Line);
        QCOMPARE(plot.plot()->pointType(), std::int16_t(0));
        plot.selectTab(2);
        QCOMPARE(plot.plot()->plottingMethod(), Plot::Impulses);
    }

    void numericFields_data()
    {
        QTest::addColumn<bool>("bins");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("bins 10") << true << "10" << "11";
        QTest::newRow("bins 4") << true << "4" << "5";
        QTest::newRow("bins 999") << true << "999" << "51";
        QTest::newRow("bins empty") << true << "" << "1";
        QTest::newRow("bins 0") << true << "0" << "1";
        QTest::newRow("bins last three") << true << "1007" << "7";
        QTest::newRow("bins letters dropped") << true << "2a3x" << "23";
        QTest::newRow("harmonics 25") << false << "25" << "20";
        QTest::newRow("harmonics 1") << false << "1" << "2";
        QTest::newRow("harmonics empty") << false << "" << "2";
        QTest::newRow("harmonics 7") << false << "7" << "7";
    }

    void numericFields()
    {
        QFETCH(bool, bins);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        frmPlot plot;
        QLineEdit *field = bins ? plot.txtNumBins() : plot.txtNumHarm();
        field->clear();
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(field->text(), result);
    }

    void escapeResetsAndLeavingChecks()
    {
        frmPlot plot;
        for (QLineEdit *field : {plot.txtNumBins(), plot.txtNumHarm()}) {
            const QString start = field->text();
            field->clear();
            QTest::keyClicks(field, QStringLiteral("3"));
            QTest::keyClick(field, Qt::Key_Escape);
            QCOMPARE(field->text(), start);
        }
        QCOMPARE(plot.txtNumBins()->text(), QStringLiteral("11"));
        QCOMPARE(plot.txtNumHarm()->text(), QStringLiteral("10"));

        plot.txtNumBins()->setText(QStringLiteral("8"));
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(plot.txtNumBins(), &leave);
        QCOMPARE(plot.txtNumBins()->text(), QStringLiteral("9"));
    }

    void windowOptionDoesNothingWhileDataIsNotReady()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 50, 1024, 100000));
        plot.selectTab(0);
        plot.document().setDataReady(false);
        plot.optWindow(3)->click();
        QCOMPARE(plot.currentView(), std::int16_t(frmPlot::TimeDomain));
        QCOMPARE(plot.SSTab1()->currentIndex(), 0);
        QCOMPARE(plot.fftLength(), 0);

        plot.document().setDataReady(true);
        plot.optWindow(3)->click();
        QCOMPARE(plot.currentView(), std::int16_t(frmPlot::FFTPlot));
        QCOMPARE(plot.plot()->subTitle(), QStringLiteral("Blackman Window for 1024 Points"));
    }

    void referenceOptionsSetNormalizeFFT()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 50, 1024, 1000));
        plot.selectTab(1);
        QVERIFY(plot.fftLevels()[50] < -60);
        plot.optHighestSignal()->click();
        QVERIFY(plot.NormalizeFFT());
        plot.selectTab(1);
        QVERIFY(std::fabs(plot.fftLevels()[50]) < 1e-9);
        plot.optFullScale0dB()->click();
        QVERIFY(!plot.NormalizeFFT());
        plot.setNormalizeFFT(true);
        QVERIFY(plot.optHighestSignal()->isChecked());
    }

    void dataFormatRefillsTheListWithoutRedraw()
    {
        frmPlot plot;
        loadBlock(plot, {-1, 0, 255});
        plot.selectTab(3);
        QSignalSpy redraws(plot.plot(), &Plot::redrawn);
        plot.optDataFormat(1)->click();
        QCOMPARE(plot.dataListLines().first(), QStringLiteral("1\tFFFFFF"));
        QCOMPARE(redraws.count(), 0);

        plot.selectTab(0);
        redraws.clear();
        plot.optDataFormat(2)->click();
        QCOMPARE(redraws.count(), 0);
        QVERIFY(plot.statusText(2).startsWith(QStringLiteral("Mean: ")));
        QCOMPARE(plot.plot()->yValue(0), -1.0F); // the trace waits for the next redraw
    }

    void clickMarkerShowsMovesAndGoes()
    {
        frmPlot plot;
        loadBlock(plot, {5, -3, 12, 7000000});
        plot.selectTab(0);
        emit plot.plot()->dataPointClicked(0, 2);
        Plot::Annotation marker = plot.plot()->annotation(0);
        QCOMPARE(marker.text, QStringLiteral("3,12"));
        QCOMPARE(marker.x, 3.0);
        QCOMPARE(marker.y, 12.0);
        QCOMPARE(marker.symbol, Plot::SymbolMark);

        emit plot.plot()->dataPointClicked(0, 2);
        QCOMPARE(plot.plot()->annotation(0).text, QString());

        // The cursor moves only a shown marker.
        plot.plot()->setCursorPoint(1);
        emit plot.plot()->cursorMoved();
        QCOMPARE(plot.plot()->annotation(0).text, QString());
        emit plot.plot()->dataPointClicked(0, 1);
        plot.plot()->setCursorPoint(3);
        emit plot.plot()->cursorMoved();
        QCOMPARE(plot.plot()->annotation(0).text, QStringLiteral("4,7000000"));
        QCOMPARE(plot.plot()->annotation(0).x, 4.0);

        plot.UpdatePlot();
        QCOMPARE(plot.plot()->annotation(0).text, QString());
        emit plot.plot()->dataPointClicked(0, 0);
        plot.selectTab(2);
        QCOMPARE(plot.plot()->annotation(0).text, QString());
        QCOMPARE(plot.plot()->annotation(0).symbol, Plot::SymbolNone);
    }

    void mouseClickOnTheGraphSetsThePointCursor()
    {
        frmPlot plot;
        loadBlock(plot, {5, -3, 12, 7});
        plot.show();
        plot.selectTab(0);
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        QWidget *chart = plot.plot()->findChild<QWidget *>();
        QVERIFY(chart);
        QSignalSpy clicks(plot.plot(), &Plot::dataPointClicked);
        QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(plot.plot()->cursorMode(), 2);
        QCOMPARE(clicks.count(), 0); // the corner is no point
    }

    void seriesOfTheTimeDomain()
    {
        frmPlot plot;
        loadBlock(plot, {5, -3, 12});
        plot.selectTab(0);
        const Plot &g = *plot.plot();
        QCOMPARE(g.pointCount(), 3);
        QCOMPARE(g.xValue(0), 1.0F);
        QCOMPARE(g.xValue(2), 3.0F);
        QCOMPARE(g.yValue(1), -3.0F);
        QCOMPARE(g.mainTitle(), QStringLiteral("KZ7305"));
        QCOMPARE(g.subTitle(), QString());
        QCOMPARE(g.xAxisLabel(), QStringLiteral("Sample Number"));
        QVERIFY(!g.manualXRange());
        plot.optDataFormat(3)->click();
        plot.UpdatePlot();
        QCOMPARE(g.yValue(2), 12e-6F);
        QCOMPARE(g.yAxisLabel(), QStringLiteral("ADC Code"));
    }

    void seriesOfTheFft()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(4096, 64, 4096, 100000), 24, 8000.0);
        plot.optWindow(2)->setChecked(true);
        plot.cbMainLobe()->setChecked(true);
        plot.selectTab(1);
        const Plot &g = *plot.plot();
        QCOMPARE(g.pointCount(), 2048);
        QCOMPARE(g.xValue(1), float(8000.0 / 4096));
        QCOMPARE(g.xValue(2047), float(2047 * 8000.0 / 4096));
        QCOMPARE(g.yValue(64), float(plot.fftLevels()[64]));
        QCOMPARE(g.xAxisLabel(), QStringLiteral("Frequency (Hz), Resolution: 1") + sep() + QStringLiteral("95 Hz"));
        QCOMPARE(g.yAxisLabel(), QStringLiteral("Magnitude (dB)"));
        QCOMPARE(g.subTitle(), QStringLiteral("Hanning Window for 4096 Points"));
        QCOMPARE(g.annotation(1).text, QStringLiteral("Main Lobe"));
        QCOMPARE(g.annotation(1).x, 64 * 8000.0 / 4096);
    }

    void seriesOfTheHistogram()
    {
        frmPlot plot;
        loadBlock(plot, {-3, 5, 0, 0});
        plot.selectTab(2);
        const Plot &g = *plot.plot();
        QCOMPARE(g.pointCount(), 65536);
        QCOMPARE(g.xValue(0), -2.5F);
        QCOMPARE(g.xValue(3), 0.5F);
        QCOMPARE(g.yValue(3), 2.0F);
        QCOMPARE(g.yValue(8), 1.0F);
        QCOMPARE(g.yValue(65535), 0.0F);
        QCOMPARE(g.xAxisLabel(), QStringLiteral("Bins (Bin Size:1") + sep() + QStringLiteral("0)"));
        QCOMPARE(g.yAxisLabel(), QStringLiteral("Count"));
        QVERIFY(g.manualXRange());
        QCOMPARE(g.manualXMinimum(), -3.0);
        // One bin beyond the maximum: the maximum's bar is drawn.
        QCOMPARE(g.manualXMaximum(), 6.0);
        QCOMPARE(g.binWidth(), 1.05);

        // A range of exactly 65536 codes: the maximum falls in the entry beyond
        // the last bin, which the graph draws as one more point.
        loadBlock(plot, {0, 65536, 7});
        plot.selectTab(0);
        plot.selectTab(2);
        QCOMPARE(g.pointCount(), 65537);
        QCOMPARE(g.xValue(65536), 65536.5F);
        QCOMPARE(g.yValue(65536), 1.0F);
        QCOMPARE(g.manualXMaximum(), 65537.0);
    }

    void printoutCarriesTheFigures()
    {
        frmPlot plot;
        loadBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        plot.selectTab(0);
        QPrinter &printer = SharedPrinter::printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        m_dialogAnswer = m_dir.filePath(QStringLiteral("time.pdf"));
        plot.PrintGraph();
        // Codes 0 .. 7 of 1 uV each: sigma sqrt(6) = 2.449 uV, p-p 7 uV, mean
        // 3.5 uV, log2(8 / sigma) = 1.708 and log2(8 / (6.6 sigma)) = -1.015
        // bits, which is shown as no figure.
        QCOMPARE(printedSubtitle(plot), QStringLiteral("Min:0     Max:7     Mean:3") + sep() +
                                            QStringLiteral("5     StdDev:306186") + sep() + QStringLiteral("2178\n") +
                                            QStringLiteral("RMS noise: 2.45 µV     P-P noise: 7.00 µV     Offset: 3.50 µV"
                                                           "     Effective resolution: 1.71 bits     Noise-free resolution: -")
                                                .replace(QLatin1Char('.'), sep()));
        QCOMPARE(head(m_dialogAnswer, 5), QByteArray("%PDF-"));
        QCOMPARE(m_messages, QStringList());
        plot.UpdatePlot();
        QCOMPARE(plot.plot()->subTitle(), QString());

        loadBlock(plot, sineCodes(1024, 50, 1024, 100000));
        plot.selectTab(1);
        m_dialogAnswer = m_dir.filePath(QStringLiteral("fft.pdf"));
        const QString screen = plot.plot()->subTitle();
        QStringList done;
        connect(&plot, &frmPlot::commandDone, this, [&done](const QString &text) { done << text; });
        plot.PrintGraph();
        plot.PrintGraph();
        // The screen keeps its own subtitle; success is told without a message box.
        QCOMPARE(plot.plot()->subTitle(), screen);
        QCOMPARE(done.size(), 2);
        QVERIFY(done[0].contains(m_dialogAnswer));
        const auto figure = [&](double value) { return NumberFormat::pattern(value, 0, 4, NumberFormat::screenSeparator()); };
        QCOMPARE(printedSubtitle(plot), QStringLiteral("Rectangular Window for 1024 Points,     SNR:") + figure(plot.SNR()) +
                                            QStringLiteral("     SINAD:") + figure(plot.SINAD()) +
                                            QStringLiteral("     THD:") + figure(plot.THD()) +
                                            QStringLiteral("     SFDR:") + figure(plot.SFDR()));

        plot.selectTab(2);
        QCOMPARE(printedSubtitle(plot), QString());
    }

    void printingToPdfNeverOverwritesUnasked()
    {
        frmPlot plot;
        loadBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        plot.selectTab(0);
        QPrinter &printer = SharedPrinter::printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString chosenEarlier = m_dir.filePath(QStringLiteral("earlier.pdf"));
        QFile earlier(chosenEarlier);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("keep");
        earlier.close();
        printer.setOutputFileName(chosenEarlier);
        m_dialogAnswer.clear(); // the user cancels the file dialog
        plot.PrintGraph();
        QCOMPARE(m_dialogModes.last(), FileDialogs::Mode::SavePdf);
        QCOMPARE(head(chosenEarlier, 4), QByteArray("keep"));
        QVERIFY(m_messages.isEmpty());

        m_dialogAnswer = m_dir.filePath(QStringLiteral("instead.pdf"));
        QSignalSpy done(&plot, &frmPlot::commandDone);
        plot.PrintGraph();
        QCOMPARE(head(m_dialogAnswer, 5), QByteArray("%PDF-"));
        QCOMPARE(head(chosenEarlier, 4), QByteArray("keep"));
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(done.size(), 1);
        QVERIFY(done[0][0].toString().contains(m_dialogAnswer));
    }

    void exportByExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("png") << "graph.png" << QByteArray("\x89PNG");
        QTest::newRow("svg") << "graph.SVG" << QByteArray("<?xml");
        QTest::newRow("pdf") << "graph.pdf" << QByteArray("%PDF");
    }

    void exportByExtension()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, magic);
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 50, 1024, 100000));
        plot.selectTab(0);
        m_dialogAnswer = m_dir.filePath(name);
        plot.ExportGraph();
        QCOMPARE(m_dialogModes.last(), FileDialogs::Mode::SaveGraph);
        QCOMPARE(head(m_dialogAnswer, magic.size()), magic);
        QVERIFY(m_messages.isEmpty());
    }

    void exportRefusesOtherFiles()
    {
        frmPlot plot;
        loadBlock(plot, {1, 2, 3});
        plot.selectTab(0);
        m_dialogAnswer = m_dir.filePath(QStringLiteral("graph.bmp"));
        plot.ExportGraph();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(!QFile::exists(m_dialogAnswer));
        QString error;
        QVERIFY(!plot.exportGraph(m_dir.filePath(QStringLiteral("no/such/dir/g.png")), QSize(300, 200), &error));
        QVERIFY(error.contains(QLatin1String("cannot write")));
    }

    void exportedPictureHasTheAskedSize()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 50, 1024, 100000));
        plot.selectTab(2);
        const QString file = m_dir.filePath(QStringLiteral("size.png"));
        QString error;
        QVERIFY(plot.exportGraph(file, QSize(640, 480), &error));
        const QImage image(file);
        QCOMPARE(image.size(), QSize(640, 480));
        // Axes, labels and the series were drawn: not a blank page.
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        QVERIFY2(inked > 2000, qPrintable(QString::number(inked)));
    }

    void figuresBesideTheGraphs()
    {
        frmPlot plot;
        // Codes 0 .. 7 of 1 uV: sigma sqrt(6) = 2.449 uV, offset 3.5 uV.
        loadBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        plot.selectTab(0);
        QCOMPARE(plot.noisePanel()->valueText(1), QStringLiteral("2") + sep() + QStringLiteral("45 µV"));
        QCOMPARE(plot.noisePanel()->valueText(4), QStringLiteral("3") + sep() + QStringLiteral("50 µV"));
        QVERIFY(plot.statusBarShown()); // the four panels stay
        QCOMPARE(plot.statusText(2), QStringLiteral("Mean: 3") + sep() + QStringLiteral("5"));

        // A tone says nothing; noise alone is said to be noise.
        loadBlock(plot, sineCodes(1024, 50, 1024, 100000));
        plot.selectTab(1);
        QVERIFY(!plot.tonePanel()->noteShown());
        QVERIFY(plot.tonePanel()->valueText(1).endsWith(QLatin1String(" dBFS")));
        std::minstd_rand random(11);
        std::vector<std::int32_t> noise(1024);
        for (std::int32_t &code : noise)
            code = static_cast<std::int32_t>(random() % 13U); // spread without a tone
        loadBlock(plot, noise);
        plot.UpdatePlot();
        QVERIFY(plot.tonePanel()->noteShown());
        QCOMPARE(plot.tonePanel()->note(), QLatin1String(NoiseTexts::NoToneNote));

        // At the window's default size the figures are shown whole.
        plot.show();
        for (int tab : {0, 1}) {
            plot.selectTab(tab);
            QApplication::processEvents();
            FiguresPanel *panel = tab == 0 ? plot.noisePanel() : plot.tonePanel();
            QVERIFY(panel->width() >= panel->minimumSizeHint().width()); // the note wraps
        }
    }

    void statusPanelsShareTheWidth()
    {
        frmPlot plot;
        loadBlock(plot, sineCodes(1024, 50, 1024, 100000));
        plot.show();
        for (int width : {700, 1100}) {
            plot.resize(width, 600);
            QApplication::processEvents();
            const auto panels = plot.findChild<QStatusBar *>()->findChildren<QLabel *>();
            QCOMPARE(panels.size(), 4);
            const int barWidth = plot.findChild<QStatusBar *>()->width();
            for (QLabel *panel : panels)
                QVERIFY(std::abs(panel->width() - barWidth / 4) <= 8);
            // The graph fills its tab page beside the noise figures.
            QVERIFY(plot.plot()->width() > width - 60 - plot.noisePanel()->width());
        }
    }

private:
    QTemporaryDir m_dir;
    QStringList m_messages;
    QStringList m_confirms;
    QStringList m_dialogs;
    QList<FileDialogs::Mode> m_dialogModes;
    QString m_dialogAnswer;
    bool m_confirmAnswer = true;
};

QTEST_MAIN(TestFrmPlotViews)
#include "tst_frmplot_views.moc"
