// SPDX-License-Identifier: GPL-3.0-or-later
// The document: block parameters, result-valid flags, the analysis pass with
// its progress reports, time-domain statistics and their status texts.
#include "Plot.h"
#include "PlotDocument.h"
#include "VectorState.h"
#include "ViewGraph.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <numeric>
#include <vector>

namespace {

struct ProgressLog {
    std::vector<std::pair<std::int32_t, std::int32_t>> reports; // (CalcMax, CalcProgress)
};

void setBlock(PlotDocument &plot, const std::vector<std::int32_t> &samples, std::int16_t numBits)
{
    plot.setDeviceID(QStringLiteral("KZ7305EVM"));
    plot.setLSBSize(5.0 / 16777216.0);
    plot.setNumBits(numBits);
    plot.setnumPoints(static_cast<std::int32_t>(samples.size()));
    plot.setSampleFreq(20833);
    plot.LoadData(samples);
}

// 1024 samples of a tone with Gaussian noise of the given deviation in codes.
std::vector<std::int32_t> noisyTone(double noise, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0, noise);
    std::vector<std::int32_t> samples(1024);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int32_t>(std::lround(2e6 * std::sin(0.3 * static_cast<double>(i)) + gauss(random)));
    return samples;
}

// The single block's FFT levels, bins 0 .. n/2.
std::vector<double> singleLevels(const std::vector<std::int32_t> &samples)
{
    PlotDocument plot;
    setBlock(plot, samples, 24);
    plot.setView(PlotDocument::FFTPlot);
    plot.runAnalysisPass();
    const auto levels = plot.fftLevels().first(static_cast<std::size_t>(plot.spectrum().length() / 2 + 1));
    return {levels.begin(), levels.end()};
}


// Analyses the blocks one after the other in plot, averaging them when there
// are two or more.
void analyseFft(PlotDocument &plot, const std::vector<std::vector<std::int32_t>> &blocks, FftWindow window,
                bool normalize)
{
    if (blocks.size() > 1)
        plot.setFftAveraging(static_cast<int>(blocks.size()));
    plot.setView(PlotDocument::FFTPlot);
    plot.setFftOptions({window, 11, 10, {}});
    for (const auto &block : blocks) {
        setBlock(plot, block, 24);
        plot.setNormalizeFFT(normalize);
        plot.runAnalysisPass();
    }
}

// The largest difference between the FFT figures and levels (bins 0 .. n/2)
// of a and those of b, after moving b's levels by levelShift dB and its
// full-scale tone level by dbfsShift dB; infinite when one has a figure the
// other lacks.
double largestDifference(const PlotDocument &a, const PlotDocument &b, double levelShift, double dbfsShift)
{
    constexpr double Missing = std::numeric_limits<double>::infinity();
    if (a.metrics().fundamentalFound != b.metrics().fundamentalFound
        || a.metrics().fundamental != b.metrics().fundamental
        || a.toneFigures().toneFound != b.toneFigures().toneFound
        || a.toneFigures().enob.has_value() != b.toneFigures().enob.has_value()
        || a.toneFigures().fundamentalDbfs.has_value() != b.toneFigures().fundamentalDbfs.has_value())
        return Missing;
    double worst = 0;
    auto compare = [&](double x, double y) { worst = std::max(worst, std::fabs(x - y)); };
    compare(a.metrics().snr, b.metrics().snr);
    compare(a.metrics().sinad, b.metrics().sinad);
    compare(a.metrics().thd, b.metrics().thd);
    compare(a.metrics().sfdr, b.metrics().sfdr);
    if (a.toneFigures().enob)
        compare(*a.toneFigures().enob, *b.toneFigures().enob);
    if (a.toneFigures().fundamentalDbfs)
        compare(*a.toneFigures().fundamentalDbfs + dbfsShift, *b.toneFigures().fundamentalDbfs);
    for (int k = 0; k <= a.spectrum().length() / 2; ++k)
        compare(a.fftLevels()[static_cast<std::size_t>(k)] + levelShift, b.fftLevels()[static_cast<std::size_t>(k)]);
    return worst;
}

} // namespace

class TestPlotDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void startValues()
    {
        PlotDocument plot;
        QCOMPARE(plot.block().deviceId, QStringLiteral("Unspecified Device Name"));
        QCOMPARE(plot.numPoints(), 0);
        QCOMPARE(plot.block().numBits, std::int16_t(0));
        QCOMPARE(plot.NormalizeFFT(), false);
        QCOMPARE(plot.view(), PlotDocument::TimeDomain);
        QCOMPARE(plot.dataFormat(), DataFormat::Integer);
    }

    void statisticsOfARamp()
    {
        PlotDocument plot;
        setBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        plot.runAnalysisPass();
        QCOMPARE(plot.statistics().mean, 3.5);
        QCOMPARE(plot.statistics().minimum, 0.0);
        QCOMPARE(plot.statistics().maximum, 7.0);
        QVERIFY(qFuzzyCompare(plot.statistics().stdDeviation, std::sqrt(6.0 / 64.0) * 1e6));
        QCOMPARE(plot.statusTexts().at(0), QStringLiteral("Std Dev (ppm): 306186.2178"));
        QCOMPARE(plot.statusTexts().at(1), QStringLiteral("Mean: 3.5"));
        QCOMPARE(plot.statusTexts().at(2), QStringLiteral("Maximum: 7"));
        QCOMPARE(plot.statusTexts().at(3), QStringLiteral("Minimum: 0"));
    }

    void statisticsOfAConstantBlock()
    {
        PlotDocument plot;
        setBlock(plot, std::vector<std::int32_t>(100, -1234), 24);
        plot.runAnalysisPass();
        QCOMPARE(plot.statistics().minimum, -1234.0);
        QCOMPARE(plot.statistics().maximum, -1234.0);
        QCOMPARE(plot.statistics().mean, -1234.0);
        QCOMPARE(plot.statistics().stdDeviation, 0.0);
    }

    void statisticsBelowTwoSamples()
    {
        PlotDocument plot;
        setBlock(plot, {42}, 24);
        plot.runAnalysisPass();
        QCOMPARE(plot.statistics().mean, 42.0);
        QCOMPARE(plot.statistics().stdDeviation, 0.0);
        setBlock(plot, {}, 24);
        plot.runAnalysisPass();
        QCOMPARE(plot.statistics().mean, 0.0);
        QCOMPARE(plot.statistics().maximum, 0.0);
        QCOMPARE(plot.statistics().stdDeviation, 0.0);
    }

    void numPointsBeyondTheLoadedBlockReadsNoFurther()
    {
        PlotDocument plot;
        setBlock(plot, {1, 2, 3}, 24);
        plot.setnumPoints(1000);
        plot.runAnalysisPass();
        QCOMPARE(plot.statistics().mean, 2.0);
        Plot graph;
        ViewGraph::draw(plot, graph, {});
        QCOMPARE(graph.pointCount(), 3);
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
        PlotDocument plot;
        setBlock(plot, std::vector<std::int32_t>(static_cast<std::size_t>(points), 5), 24);
        ProgressLog log;
        connect(&plot, &PlotDocument::CalcStatus, &plot,
                [&] { log.reports.emplace_back(plot.CalcMax(), plot.CalcProgress()); });
        plot.runAnalysisPass();
        std::vector<std::pair<std::int32_t, std::int32_t>> expected;
        const std::int32_t max = points / 8;
        expected.emplace_back(max, 0); // start of the pass
        for (int i = 0; i < points; i += 8)
            expected.emplace_back(max, i / 8);
        expected.emplace_back(max, 0); // end of the pass
        QCOMPARE(log.reports, expected);
        QCOMPARE(max, points == 8 ? 1 : 512);
    }

    // A CalcStatus handler that draws leaves the AVX upper halves in use (Qt's
    // AVX2 fills do); the analysis before and after each report must run with
    // them clean, or SSE code runs several times slower on many Intel CPUs.
    void analysisRunsWithCleanVectorStateAfterDrawing()
    {
        dirtyUpperVectorState();
        if (!upperVectorStateInUse().value_or(false))
            QSKIP("this CPU does not report the vector state in use");
        PlotDocument plot;
        setBlock(plot, noisyTone(40, 3), 24);
        plot.setView(PlotDocument::FFTPlot);
        std::vector<bool> dirtyWhenReported;
        connect(&plot, &PlotDocument::CalcStatus, &plot, [&] {
            dirtyWhenReported.push_back(upperVectorStateInUse().value());
            dirtyUpperVectorState();
        });
        dirtyUpperVectorState(); // after setBlock: the C library's AVX2 copies clear it
        plot.runAnalysisPass();
        QVERIFY(dirtyWhenReported.size() > 2);
        QVERIFY(dirtyWhenReported.front()); // the drawing before the pass
        QVERIFY(std::none_of(dirtyWhenReported.begin() + 1, dirtyWhenReported.end(), [](bool b) { return b; }));
        QVERIFY(!upperVectorStateInUse().value());
    }

    void notReadyComputesNothing()
    {
        PlotDocument plot;
        setBlock(plot, {1, 2, 3, 4, 5, 6, 7, 8}, 24);
        plot.setDataReady(false);
        int events = 0;
        connect(&plot, &PlotDocument::CalcStatus, &plot, [&] {
            ++events;
            QCOMPARE(plot.CalcProgress(), 0);
        });
        plot.runAnalysisPass();
        QCOMPARE(events, 1);
        QCOMPARE(plot.statistics().mean, 0.0);
        QVERIFY(plot.statusTexts().at(0).isEmpty());
    }

    void loadDataKeepsResultsUntilAParameterChanges()
    {
        PlotDocument plot;
        setBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        plot.runAnalysisPass();
        const std::vector<std::int32_t> other(8, 100);
        plot.LoadData(other);
        plot.runAnalysisPass();
        QCOMPARE(plot.statistics().mean, 3.5); // kept results of the earlier block
        plot.setnumPoints(plot.numPoints()); // the same value still clears the flags
        plot.runAnalysisPass();
        QCOMPARE(plot.statistics().mean, 100.0);
    }

    void everyParameterClearsTheFlags()
    {
        const std::vector<std::function<void(PlotDocument &)>> assignments = {
            [](PlotDocument &p) { p.setDeviceID(p.block().deviceId); },
            [](PlotDocument &p) { p.setLSBSize(p.block().lsbSize); },
            [](PlotDocument &p) { p.setNormalizeFFT(p.NormalizeFFT()); },
            [](PlotDocument &p) { p.setNumBits(p.block().numBits); },
            [](PlotDocument &p) { p.setSampleFreq(20833); },
            [](PlotDocument &p) { p.setBlock(p.block()); },
        };
        for (const auto &assign : assignments) {
            PlotDocument plot;
            setBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
            plot.runAnalysisPass();
            plot.LoadData(std::vector<std::int32_t>(8, 9));
            assign(plot);
            plot.runAnalysisPass();
            QCOMPARE(plot.statistics().mean, 9.0);
        }
    }

    void viewsAndOptionsClearOnlyWhatTheyChange()
    {
        PlotDocument plot;
        setBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        for (const PlotDocument::View view : {PlotDocument::FFTPlot, PlotDocument::DataList, PlotDocument::TimeDomain}) {
            plot.setView(view);
            plot.runAnalysisPass();
        }
        const auto valid = [&plot] {
            QList<bool> flags;
            for (int r = 0; r < PlotDocument::ResultCount; ++r)
                flags << plot.isValid(PlotDocument::Result(r));
            return flags;
        };
        QCOMPARE(valid(), (QList<bool>{true, true, false, true}));
        // The options the pass reads take effect when the window says so.
        plot.setFftOptions({FftWindow::Hanning, 5, 3, {true, true, true}});
        plot.setDataFormat(DataFormat::Integer);
        QCOMPARE(valid(), (QList<bool>{true, true, false, true}));
        plot.setDataFormat(DataFormat::Hexadecimal);
        QCOMPARE(valid(), (QList<bool>{true, true, false, false}));
        plot.setView(PlotDocument::Histogram);
        QCOMPARE(valid(), (QList<bool>{false, false, false, false}));
        plot.runAnalysisPass();
        QCOMPARE(valid(), (QList<bool>{false, false, true, false}));
    }

    // The options as one value: one notice per real change and none for an
    // equal value; what changed clears the flags as the single setters do.
    void optionsValueNotifiesOncePerChange()
    {
        PlotDocument plot;
        setBlock(plot, {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        QSignalSpy changes(&plot, &PlotDocument::optionsChanged);
        DocumentOptions options = plot.options();
        plot.setOptions(options);
        plot.setView(PlotDocument::TimeDomain);
        plot.setNormalizeFFT(false);
        plot.setDataFormat(DataFormat::Integer);
        QCOMPARE(changes.count(), 0);
        for (const PlotDocument::View view : {PlotDocument::DataList, PlotDocument::TimeDomain}) {
            plot.setView(view);
            plot.runAnalysisPass();
        }
        changes.clear();

        options.fft.numBins = 7;
        options.fft.marks.harmonics = true;
        plot.setOptions(options);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(plot.signalBins(), 7);
        QVERIFY(plot.isValid(PlotDocument::TimeValid) && plot.isValid(PlotDocument::DataListFilled));
        options.dataFormat = DataFormat::ScaledByLsb;
        plot.setOptions(options);
        QCOMPARE(changes.count(), 2);
        QVERIFY(plot.isValid(PlotDocument::TimeValid) && !plot.isValid(PlotDocument::DataListFilled));
        options.normalizeFft = true;
        plot.setOptions(options);
        QCOMPARE(changes.count(), 3);
        QVERIFY(!plot.isValid(PlotDocument::TimeValid));
        QCOMPARE(plot.options(), options);
    }

    void statusTextsInEachFormat()
    {
        PlotDocument plot;
        setBlock(plot, {-1, -2, -1, -2, -1}, 24); // mean -1.4
        plot.setDataFormat(DataFormat(1));
        plot.runAnalysisPass();
        QCOMPARE(plot.statusTexts().at(1), QStringLiteral("Mean: FFFFFF"));
        QCOMPARE(plot.statusTexts().at(2), QStringLiteral("Maximum: FFFFFF"));
        QCOMPARE(plot.statusTexts().at(3), QStringLiteral("Minimum: FFFFFE"));

        setBlock(plot, {-2, -3}, 24); // mean -2.5 rounds to -2
        plot.runAnalysisPass();
        QCOMPARE(plot.statusTexts().at(1), QStringLiteral("Mean: FFFFFE"));

        setBlock(plot, {0, 0, 4194304, 4194304}, 24);
        plot.setDataFormat(DataFormat(2));
        plot.runAnalysisPass();
        // One code is 6e-6 % of full scale: six decimals tell codes apart.
        QCOMPARE(plot.statusTexts().at(1), QStringLiteral("Mean: 62.500000"));
        QCOMPARE(plot.statusTexts().at(2), QStringLiteral("Maximum: 75.000000"));
        QCOMPARE(plot.statusTexts().at(3), QStringLiteral("Minimum: 50.000000"));
        QVERIFY(plot.statusTexts().at(0).startsWith(QStringLiteral("Std Dev (ppm): ")));

        // Volts to the 298 nV of one code, in the unit that fits.
        plot.setDataFormat(DataFormat(3));
        plot.runAnalysisPass();
        QCOMPARE(plot.statusTexts().at(2), QStringLiteral("Maximum: 1.2500000 V"));
        QCOMPARE(plot.statusTexts().at(3), QStringLiteral("Minimum: 0 nV"));
        // Standard deviation: 2421467.8 codes of 5/2^24 V, 0.7217 V.
        QCOMPARE(plot.statusTexts().at(0), QStringLiteral("Std Dev: 722 mV"));
    }

    void fftAverageOfTheLastBlocksOfOneShape()
    {
        const std::vector<std::vector<std::int32_t>> blocks{noisyTone(10, 1), noisyTone(300, 2), noisyTone(3000, 3)};
        std::vector<std::vector<double>> single;
        for (const auto &block : blocks)
            single.push_back(singleLevels(block));
        // 10 log10 of the mean linear power of the blocks first .. last.
        auto expectAverage = [&](const PlotDocument &plot, std::size_t first, std::size_t last) {
            const auto levels = plot.fftLevels();
            for (std::size_t b = 0; b < single[0].size(); ++b) {
                double sum = 0;
                for (std::size_t k = first; k <= last; ++k)
                    sum += std::pow(10.0, single[k][b] / 10);
                const double expected = 10 * std::log10(sum / static_cast<double>(last - first + 1));
                if (std::fabs(levels[b] - expected) > 1e-9)
                    return false;
            }
            return true;
        };
        PlotDocument plot;
        plot.setFftAveraging(2);
        plot.setView(PlotDocument::FFTPlot);
        for (const auto &block : blocks) {
            setBlock(plot, block, 24);
            plot.runAnalysisPass();
        }
        // The last two blocks only; the noise floor lies between theirs.
        QCOMPARE(plot.fftAverageCount(), 2);
        QVERIFY(expectAverage(plot, 1, 2));
        // Another NB recomputes the same block without adding it again.
        auto options = plot.fftOptions();
        options.numBins = 5;
        plot.setFftOptions(options);
        plot.invalidate();
        plot.runAnalysisPass();
        QCOMPARE(plot.fftAverageCount(), 2);
        QVERIFY(expectAverage(plot, 1, 2));

        // Another rate starts over; so does Reset, with the block on show.
        setBlock(plot, blocks[0], 24);
        plot.setSampleFreq(48000);
        plot.runAnalysisPass();
        QCOMPARE(plot.fftAverageCount(), 1);
        QVERIFY(expectAverage(plot, 0, 0));
        plot.resetFftAverage();
        QCOMPARE(plot.fftAverageCount(), 0);
        plot.runAnalysisPass();
        QCOMPARE(plot.fftAverageCount(), 1);

        // One block averaged gives the single block's metrics.
        PlotDocument alone;
        setBlock(alone, blocks[0], 24);
        alone.setSampleFreq(48000);
        alone.setFftOptions(options);
        alone.setView(PlotDocument::FFTPlot);
        alone.runAnalysisPass();
        QVERIFY(std::fabs(plot.metrics().snr - alone.metrics().snr) < 1e-9);
        QVERIFY(std::fabs(plot.metrics().sfdr - alone.metrics().sfdr) < 1e-9);
    }

    // Averaging is a mean of powers in the single block's own units: like
    // blocks average to the block itself, twice the codes to 6.02 dB more on
    // every level and no other ratio, and blocks without a signal to no tone.
    void fftAverageReadsInTheSingleBlocksUnits()
    {
        const std::vector<std::int32_t> a = noisyTone(30, 7);
        const std::vector<std::int32_t> b = noisyTone(300, 8);
        auto doubled = [](std::vector<std::int32_t> codes) {
            for (std::int32_t &c : codes)
                c *= 2;
            return codes;
        };
        const std::vector<std::int32_t> zeros(1024, 0);
        const double sixDb = 20 * std::log10(2.0);
        for (int w = 0; w < FftWindows::Count; ++w) {
            for (const bool normalize : {false, true}) {
                const FftWindow window = FftWindows::fromIndex(w);
                const QString context = QStringLiteral("window %1, normalize %2").arg(w).arg(normalize);
                PlotDocument single, same, pair, pairDoubled, silent, silentPair;
                analyseFft(single, {a}, window, normalize);
                analyseFft(same, {a, a}, window, normalize);
                analyseFft(pair, {a, b}, window, normalize);
                analyseFft(pairDoubled, {doubled(a), doubled(b)}, window, normalize);
                analyseFft(silent, {zeros}, window, normalize);
                analyseFft(silentPair, {zeros, zeros, zeros}, window, normalize);

                QVERIFY2(single.toneFigures().fundamentalDbfs && single.toneFigures().toneFound, qPrintable(context));
                QVERIFY2(largestDifference(single, same, 0, 0) < 1e-9, qPrintable(context));
                QVERIFY2(largestDifference(pair, pairDoubled, normalize ? 0 : sixDb, sixDb) < 1e-9, qPrintable(context));
                QVERIFY2(largestDifference(silent, silentPair, 0, 0) == 0, qPrintable(context));
                QVERIFY2(!silentPair.metrics().fundamentalFound && !silentPair.toneFigures().fundamentalDbfs
                             && silentPair.metrics().snr == SpectralMetrics::Uncomputed,
                         qPrintable(context));
            }
        }
    }

    // Noise alone: no lobe marks and "-" for the metrics on screen, while the
    // results keep their numbers; the noise density counts the window's own
    // noise bins whatever NB the metrics use.
    void noiseOnlyIsShownAsNoise()
    {
        std::mt19937 random(5);
        std::normal_distribution<double> gauss(0, 50);
        std::vector<std::int32_t> noise(4096);
        for (std::int32_t &code : noise)
            code = static_cast<std::int32_t>(std::lround(gauss(random)));
        PlotDocument plot;
        setBlock(plot, noise, 24);
        plot.setView(PlotDocument::FFTPlot);
        PlotDocument::FftOptions options{FftWindow::BlackmanHarris7, 1, 10, {true, true, true}};
        plot.setFftOptions(options);
        plot.runAnalysisPass();
        QVERIFY(!plot.toneFigures().toneFound && !plot.toneFigures().sineFit.frequencyHz);
        QVERIFY(plot.metrics().snr != SpectralMetrics::Uncomputed);
        QCOMPARE(plot.statusTexts(), QStringList({QStringLiteral("SNR: -"), QStringLiteral("SINAD: -"),
                                                  QStringLiteral("THD: -"), QStringLiteral("SFDR: -")}));
        const auto marks = plot.fftMarks();
        QCOMPARE(marks.size(), std::size_t(1)); // bin 0 of the DC group, NB 1
        QCOMPARE(marks.front().color, FftMarks::DcColor);
        const std::optional<double> numeric = plot.toneFigures().noiseDensity.dbfsPerHz;

        options.autoBins = true;
        plot.setFftOptions(options);
        plot.invalidate();
        plot.runAnalysisPass();
        QCOMPARE(plot.signalBins(), 17);
        QVERIFY(numeric && plot.toneFigures().noiseDensity.dbfsPerHz == numeric);
        // 50 codes RMS (and the rounding's 1/12) at 20833 Hz, against a full-scale sine.
        const double truth = 10 * std::log10(2 * (2500 + 1.0 / 12) / 20833 / std::ldexp(1.0, 45));
        QVERIFY2(std::fabs(*numeric - truth) < 0.5, qPrintable(QString::number(*numeric - truth)));
    }

    // The time domain tells when its noise figures include a tone, found as
    // the FFT view would find it, and leaves the FFT view's results alone.
    void timeDomainSaysWhenTheFiguresIncludeATone()
    {
        PlotDocument plot;
        plot.setFftAveraging(4);
        setBlock(plot, noisyTone(30, 1), 24);
        plot.runAnalysisPass();
        QVERIFY(plot.toneInTimeFigures());
        QVERIFY(!plot.isValid(PlotDocument::FftValid));
        QCOMPARE(plot.fftAverageCount(), 0);

        std::mt19937 random(2);
        std::normal_distribution<double> gauss(0, 30);
        std::vector<std::int32_t> noise(1024);
        for (std::int32_t &code : noise)
            code = static_cast<std::int32_t>(std::lround(gauss(random)));
        setBlock(plot, noise, 24);
        plot.runAnalysisPass();
        QVERIFY(!plot.toneInTimeFigures());
    }

    void timeDomainTraceFollowsTheDataFormat()
    {
        PlotDocument plot;
        std::vector<std::int32_t> samples(40000, 0);
        samples.back() = 8388607;
        setBlock(plot, samples, 24);
        plot.setDataFormat(DataFormat(2));
        plot.runAnalysisPass();
        Plot graph;
        ViewGraph::draw(plot, graph, {});
        QCOMPARE(graph.pointCount(), 40000);
        QCOMPARE(graph.xValue(39999), 40000.0F);
        QCOMPARE(graph.yValue(0), 50.0F);
        // Points past 32 767 are scaled like the rest, not drawn as raw codes.
        QVERIFY(std::abs(graph.yValue(39999) - 100.0F) < 1e-3F);
        QCOMPARE(graph.xAxisLabel(), QStringLiteral("Sample Number"));
        QCOMPARE(graph.yAxisLabel(), QStringLiteral("ADC Code"));
    }

    void noiseFiguresFollowTheViewsAndTheNormalCurveFitsTheCounts()
    {
        // Codes with a triangular spread: 1 x -2, 2 x -1, 3 x 0, 2 x 1, 1 x 2
        // repeated: mean 0, sigma^2 = 12 / 9 * N / (N - 1).
        const std::vector<std::int32_t> pattern{-2, -1, -1, 0, 0, 0, 1, 1, 2};
        std::vector<std::int32_t> samples;
        for (int r = 0; r < 100; ++r)
            samples.insert(samples.end(), pattern.begin(), pattern.end());
        const double n = static_cast<double>(samples.size());
        const double sigma = std::sqrt(12.0 / 9.0 * n / (n - 1));
        PlotDocument plot;
        setBlock(plot, samples, 24);
        plot.setView(PlotDocument::Histogram);
        plot.runAnalysisPass();
        QVERIFY(std::fabs(*plot.noiseFigures().rmsNoiseCodes - sigma) < 1e-12);
        QVERIFY(std::fabs(*plot.noiseFigures().ppNoiseUv - 4 * 5.0 / 16777216.0 * 1e6) < 1e-12);

        Plot graph;
        ViewGraph::draw(plot, graph, {});
        QCOMPARE(graph.overlayPointCount(), 0); // off until asked for
        plot.setNormalCurve(true);
        ViewGraph::draw(plot, graph, {});
        QVERIFY(graph.overlayPointCount() > 100);
        // The curve's top: N * bin width / (sigma sqrt(2 pi)) counts at the mean,
        // drawn half a code right like the bin of code 0.
        int top = 0;
        for (int i = 1; i < graph.overlayPointCount(); ++i)
            if (graph.overlayYValue(i) > graph.overlayYValue(top))
                top = i;
        QVERIFY(std::fabs(graph.overlayYValue(top) - n / (sigma * std::sqrt(2 * M_PI))) < 0.5);
        QVERIFY(std::fabs(graph.overlayXValue(top) - 0.5) < 0.05);

        // Another view draws no curve; the FFT computes the tone figures.
        plot.setView(PlotDocument::FFTPlot);
        plot.runAnalysisPass();
        ViewGraph::draw(plot, graph, {});
        QCOMPARE(graph.overlayPointCount(), 0);
        QVERIFY(!plot.toneFigures().toneFound);
    }
};

QTEST_MAIN(TestPlotDocument)
#include "tst_PlotDocument.moc"
