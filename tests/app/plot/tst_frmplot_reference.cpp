// SPDX-License-Identifier: GPL-3.0-or-later
// The graph views' references: held, saved, cleared and loaded again per view,
// kept across new blocks and out of the analysis, and broken files refused.
#include "DataFileWriter.h"
#include "FftAveragingBar.h"
#include "FileDialogs.h"
#include "Plot.h"
#include "ReferenceBar.h"
#include "UserMessage.h"
#include "frmPlot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace {

constexpr int Count = 64;
constexpr double Rate = 1000.0;
constexpr int Bits = 24;

// Scattered codes, so that every FFT bin holds power well above rounding.
std::vector<std::int32_t> codes(int seed, int divisor = 1)
{
    std::vector<std::int32_t> c(Count);
    for (int i = 0; i < Count; ++i)
        c[static_cast<std::size_t>(i)] = ((i * i * 37 + i * 11 + seed) % 2001 - 1000) / divisor;
    return c;
}

struct Points {
    std::vector<double> x, y;
};

// What each graph view draws of the codes, worked out here from the codes:
// the trace; the levels of a plain DFT (rectangular window, 0 dB at a full
// scale of 2^Bits codes); the counts of each code from the smallest up.
Points expected(int tab, const std::vector<std::int32_t> &c)
{
    Points p;
    if (tab == 0) {
        for (int i = 0; i < Count; ++i) {
            p.x.push_back(i + 1);
            p.y.push_back(c[static_cast<std::size_t>(i)]);
        }
    } else if (tab == 1) {
        const double fullScale = 20 * std::log10(std::ldexp(1.0, Bits - 2));
        for (int k = 0; k < Count / 2; ++k) {
            std::complex<double> sum;
            for (int i = 0; i < Count; ++i)
                sum += double(c[static_cast<std::size_t>(i)]) * std::polar(1.0, -2 * std::numbers::pi * k * i / Count);
            p.x.push_back(k * Rate / Count);
            p.y.push_back(20 * std::log10(std::abs(sum) / Count) - fullScale);
        }
    } else {
        const auto [low, high] = std::ranges::minmax(c);
        for (int code = low; code <= high; ++code) {
            p.x.push_back(code + 0.5);
            p.y.push_back(static_cast<double>(std::ranges::count(c, code)));
        }
    }
    return p;
}

void fill(frmPlot &plot, const std::vector<std::int32_t> &c)
{
    plot.setDeviceID(QStringLiteral("KZ7305"));
    plot.setLSBSize(1e-6);
    plot.setNumBits(Bits);
    plot.setnumPoints(Count);
    plot.setSampleFreq(Rate);
    plot.LoadData(c);
    plot.UpdatePlot();
}

void compareReference(const Plot &plot, const Points &p)
{
    QCOMPARE(plot.referencePointCount(), static_cast<int>(p.x.size()));
    for (int i = 0; i < plot.referencePointCount(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        QCOMPARE(plot.referenceXValue(i), p.x[at]);
        QVERIFY2(std::abs(plot.referenceYValue(i) - p.y[at]) <= 1e-9 * (1 + std::abs(p.y[at])),
                 qPrintable(QStringLiteral("point %1: %2 against %3").arg(i).arg(plot.referenceYValue(i)).arg(p.y[at])));
    }
}

} // namespace

class TestFrmPlotReference : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QStringList m_messages;
    QStringList m_dialogTitles;
    QString m_dialogAnswer;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    void writeFile(const QString &file, const QByteArray &content)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

private slots:
    void init()
    {
        m_messages.clear();
        m_dialogTitles.clear();
        UserMessage::setHandler([this](const QString &text) { m_messages << text; });
        FileDialogs::setHandler([this](FileDialogs::Mode, const QString &title) {
            m_dialogTitles << title;
            return m_dialogAnswer;
        });
    }

    void cleanup()
    {
        UserMessage::setHandler({});
        FileDialogs::setHandler({});
    }

    void heldSavedClearedAndLoadedPerView_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QByteArray>("marker");
        QTest::addColumn<QString>("setting");
        QTest::newRow("time domain") << 0 << QByteArray("\r\nSample Points:\r\n") << QStringLiteral("64 samples at 1000 Hz");
        QTest::newRow("FFT") << 1 << QByteArray("\r\nFFT Points:\r\n") << QStringLiteral("Rectangular Window, 64 points at 1000 Hz");
        QTest::newRow("histogram") << 2 << QByteArray("\r\nHistogram Points:\r\n") << QStringLiteral("Bins of 1 codes");
    }

    void heldSavedClearedAndLoadedPerView()
    {
        QFETCH(int, tab);
        QFETCH(QByteArray, marker);
        QFETCH(QString, setting);
        frmPlot plot;
        ReferenceBar &bar = *plot.referenceBar();
        fill(plot, codes(1));
        plot.selectTab(tab);
        QVERIFY(!bar.btnSave()->isEnabled());
        bar.btnHold()->click();
        const Points held = expected(tab, codes(1));
        compareReference(*plot.plot(), held);
        QVERIFY2(bar.lblReference()->toolTip().contains(setting), qPrintable(bar.lblReference()->toolTip()));

        m_dialogAnswer = path("reference.csv");
        bar.btnSave()->click();
        QFile saved(m_dialogAnswer);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains(marker));
        bar.btnClear()->click();
        QCOMPARE(plot.plot()->referencePointCount(), 0);
        QVERIFY(!bar.btnSave()->isEnabled());

        // Loaded in another view, the reference takes the window to its own.
        plot.selectTab((tab + 1) % 3);
        bar.btnLoad()->click();
        QCOMPARE(m_dialogTitles, (QStringList{QStringLiteral("Save Reference"), QStringLiteral("Load Reference")}));
        QCOMPARE(plot.currentView(), std::int16_t(tab + 1));
        compareReference(*plot.plot(), held);
        QVERIFY(bar.lblReference()->toolTip().contains(QStringLiteral("loaded from reference.csv")));
        QCOMPARE(m_messages, QStringList());
        if (tab != 1)
            return;
        // An FFT file keeps no window: in an absolute unit the reference rests, and says so.
        plot.cboYAxis()->setCurrentIndex(2);
        QCOMPARE(plot.plot()->referencePointCount(), 0);
        QVERIFY2(bar.lblReference()->text().endsWith(QStringLiteral("not drawn in dBFS/Hz, its file keeps no window")),
                 qPrintable(bar.lblReference()->text()));
    }

    void referenceOutlivesNewBlocksAndStaysOutOfTheAnalysis()
    {
        frmPlot plot, plain;
        for (frmPlot *window : {&plot, &plain}) {
            window->cbMainLobe()->setChecked(true);
            window->averagingBar()->setDepth(2);
            window->selectTab(1);
            fill(*window, codes(1));
            fill(*window, codes(3));
        }
        // What the view shows is held: the average of both blocks in power.
        plot.referenceBar()->btnHold()->click();
        Points held = expected(1, codes(1));
        const Points second = expected(1, codes(3));
        for (std::size_t k = 0; k < held.y.size(); ++k)
            held.y[k] = 10 * std::log10((std::pow(10, held.y[k] / 10) + std::pow(10, second.y[k] / 10)) / 2);
        // Quieter blocks, so the reference lies above them.
        for (int seed : {5, 9}) {
            fill(plot, codes(seed, 8));
            fill(plain, codes(seed, 8));
        }
        compareReference(*plot.plot(), held);
        QCOMPARE(plot.document().fftAverageCount(), 2);
        QCOMPARE(plot.document().fftAverageCount(), plain.document().fftAverageCount());
        for (double (frmPlot::*figure)() const : {&frmPlot::SNR, &frmPlot::SINAD, &frmPlot::THD, &frmPlot::SFDR})
            QCOMPARE((plot.*figure)(), (plain.*figure)());
        QVERIFY(std::ranges::equal(plot.fftLevels(), plain.fftLevels()));
        for (int panel = 1; panel <= 4; ++panel)
            QCOMPARE(plot.statusText(panel), plain.statusText(panel));
        QCOMPARE(plot.plot()->annotation(1).y, plain.plot()->annotation(1).y);

        // The full view fits the reference in; a zoom stays across blocks.
        const double highest = *std::ranges::max_element(held.y);
        QVERIFY(plot.plot()->yRange().upper >= highest);
        QVERIFY(plain.plot()->yRange().upper < highest);
        plot.plot()->zoomTo({100, 200}, {-150, -50});
        fill(plot, codes(13, 8));
        QCOMPARE(plot.plot()->xRange(), (AxisSpan{100, 200}));
        compareReference(*plot.plot(), held);

        // Each view shows its own reference only.
        plot.selectTab(0);
        QCOMPARE(plot.plot()->referencePointCount(), 0);
        plot.selectTab(1);
        compareReference(*plot.plot(), held);
    }

    void brokenOrDataListFilesChangeNothing()
    {
        frmPlot plot;
        fill(plot, codes(1));
        plot.selectTab(1);
        plot.referenceBar()->btnHold()->click();
        const QString tooltip = plot.referenceBar()->lblReference()->toolTip();
        const DataFileHeader header{QStringLiteral("KZ7305"), {}, Bits, 1e-6, Count, Rate};
        QByteArray brokenFft = DataFileWriter::fft(header, {}, std::vector<double>(6, -100.0));
        writeFile(path("list.csv"), DataFileWriter::dataList(header, DataFormat::Integer, codes(2)));
        writeFile(path("six-levels.csv"), brokenFft);
        writeFile(path("text.csv"), "no data here\r\n");
        for (const char *file : {"list.csv", "six-levels.csv", "text.csv", "missing.csv"}) {
            m_dialogAnswer = path(file);
            m_messages.clear();
            plot.referenceBar()->btnLoad()->click();
            QCOMPARE(m_messages.size(), 1);
            QVERIFY2(m_messages[0].contains(QLatin1String(file)) || m_messages[0].startsWith(QLatin1String("Data list")),
                     qPrintable(m_messages[0]));
            QCOMPARE(plot.currentView(), std::int16_t(frmPlot::FFTPlot));
            compareReference(*plot.plot(), expected(1, codes(1)));
            QCOMPARE(plot.referenceBar()->lblReference()->toolTip(), tooltip);
        }
        plot.selectTab(0);
        QCOMPARE(plot.plot()->referencePointCount(), 0);
    }
};

QTEST_MAIN(TestFrmPlotReference)
#include "tst_frmplot_reference.moc"
