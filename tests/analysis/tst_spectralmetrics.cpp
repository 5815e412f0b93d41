// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftMarks.h"
#include "MetricOptions.h"
#include "SpectralMetrics.h"
#include "Spectrum.h"

#include <QTest>
#include <cmath>
#include <numbers>
#include <random>

namespace {

using Bins = std::vector<std::complex<double>>;

// A spectrum of small distinct magnitudes with one dominant bin.
Bins withPeak(int n, int peak)
{
    Bins bins(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        bins[k] = {1e-3 * (1 + k % 7), 1e-4};
    bins[peak] = {100, 0};
    return bins;
}

double power(const Bins &bins, int b)
{
    return std::norm(bins[b]);
}

double powerOf(const Bins &bins, std::initializer_list<int> list)
{
    double sum = 0;
    for (int b : list)
        sum += power(bins, b);
    return sum;
}

template <std::size_t N>
std::vector<int> firstEntries(const std::array<std::int32_t, N> &row, int count)
{
    return std::vector<int>(row.begin(), row.begin() + count);
}

bool near(double a, double b, double relative = 1e-12)
{
    return std::fabs(a - b) <= relative * std::max(std::fabs(a), std::fabs(b));
}

} // namespace

class TestSpectralMetrics : public QObject
{
    Q_OBJECT

private slots:
    void lobeLayout()
    {
        LobeTables tables;
        const auto m = SpectralMetrics::compute(withPeak(4096, 100), 11, 10, tables);
        QCOMPARE(m.fundamental, 100);
        QCOMPARE(firstEntries(tables.mainLobe, 11), (std::vector<int>{100, 101, 102, 103, 104, 105, 99, 98, 97, 96, 95}));
        QCOMPARE(firstEntries(tables.harmonics[0], 11),
                 (std::vector<int>{200, 201, 202, 203, 204, 205, 199, 198, 197, 196, 195}));
        QCOMPARE(tables.harmonics[8][0], 1000);
    }

    void harmonicsFoldAndWrap()
    {
        LobeTables tables;
        SpectralMetrics::compute(withPeak(4096, 1500), 11, 10, tables);
        QCOMPARE(tables.harmonics[0][0], 1096);  // 3000 folds
        QCOMPARE(tables.harmonics[0][1], 1095);  // 3001 folds downward
        QCOMPARE(tables.harmonics[0][6], 1097);
        QCOMPARE(tables.harmonics[1][0], 404);   // 4500 wraps
    }

    void harmonicOnNyquistMovesBelowIt()
    {
        LobeTables tables;
        SpectralMetrics::compute(withPeak(4096, 1024), 11, 10, tables);
        QCOMPARE(tables.harmonics[0][0], 2047);
        QCOMPARE(tables.harmonics[2][0], 0);     // 4096 wraps onto DC
        QCOMPARE(tables.harmonics[2][6], -1);    // below DC stays as it is
    }

    void mainLobeClampedAtTheTopCountsOnce()
    {
        LobeTables tables;
        const Bins bins = withPeak(4096, 2045);
        const auto m = SpectralMetrics::compute(bins, 11, 10, tables);
        QCOMPARE(firstEntries(tables.mainLobe, 11),
                 (std::vector<int>{2045, 2046, 2047, 2047, 2047, 2047, 2044, 2043, 2042, 2041, 2040}));
        QVERIFY(near(m.signalPower, powerOf(bins, {2040, 2041, 2042, 2043, 2044, 2045, 2046, 2047})));
    }

    void searchStartsAboveTheLobeMargin()
    {
        // The strongest bin is 3, but the search starts at (11 + 1) / 2 = 6.
        Bins bins(4096);
        for (int k = 1; k < 4096; ++k)
            bins[k] = {1.0 / k, 0};
        bins[3] = {10, 0};
        LobeTables tables;
        const auto m = SpectralMetrics::compute(bins, 11, 10, tables);
        QCOMPARE(m.fundamental, 6);
        QCOMPARE(firstEntries(tables.mainLobe, 11), (std::vector<int>{6, 7, 8, 9, 10, 11, 5, 4, 5, 5, 5}));
        QVERIFY(near(m.signalPower, powerOf(bins, {4, 5, 6, 7, 8, 9, 10, 11})));
    }

    void eightBinsWithElevenInTheLobe()
    {
        LobeTables tables;
        const auto m = SpectralMetrics::compute(withPeak(8, 2), 11, 10, tables);
        QCOMPARE(m.fundamental, 0);
        QCOMPARE(firstEntries(tables.mainLobe, 11), std::vector<int>(11, 3));
    }

    void fftsTooShortForTheAnalysisLeaveEveryMetricUncomputed()
    {
        // Eight samples of a tone, as the board can acquire them.
        std::vector<std::int32_t> codes(8);
        for (int i = 0; i < 8; ++i)
            codes[i] = static_cast<std::int32_t>(std::lround(3e6 * std::sin(2 * std::numbers::pi * 3 * i / 8) + 1000 * i));
        Spectrum spectrum;
        spectrum.compute(codes, FftWindow::Rectangular, false, 24);
        LobeTables tables;
        // NB 11: no bin to search (6 .. 3); NB 5: bins 3 .. 3, all in the main lobe.
        for (int nb : {11, 5}) {
            const auto m = SpectralMetrics::compute(spectrum.bins().first(8), nb, 10, tables);
            QCOMPARE(m.snr, 999999999.0);
            QCOMPARE(m.sinad, 999999999.0);
            QCOMPARE(m.thd, 999999999.0);
            QCOMPARE(m.sfdr, 999999999.0);
        }
        // Sixteen bins with a three-bin lobe leave bins 2, 6 and 7 beside it.
        const auto m = SpectralMetrics::compute(withPeak(16, 4), 3, 2, tables);
        QVERIFY(m.snr != 999999999.0);
        QCOMPARE(m.fundamental, 4);
    }

    void marksComeOnlyFromTheCurrentBlock()
    {
        std::vector<double> levels(Spectrum::MaxLength + 1);
        for (std::size_t k = 0; k < levels.size(); ++k)
            levels[k] = -double(k);
        LobeTables tables;
        SpectralMetrics::compute(withPeak(64, 20), 11, 10, tables);
        // A one-sample block afterwards: nothing of the lobes above, and the
        // DC group stops at the single bin.
        SpectralMetrics::compute(Bins(1, {5, 0}), 11, 10, tables);
        auto marks = FftMarks::marks({true, true, true}, tables, levels, 1, 8.0, 11, 10);
        QCOMPARE(marks.size(), std::size_t(1));
        QCOMPARE(marks[0].x, 0.0);
        // Eight bins: DC marks only for bins 0 .. 7, not the stale levels beyond.
        SpectralMetrics::compute(withPeak(8, 2), 11, 10, tables);
        marks = FftMarks::marks({true, false, false}, tables, levels, 8, 8.0, 11, 10);
        QCOMPARE(marks.size(), std::size_t(8));
        QCOMPARE(marks.back().x, 7.0);
    }

    void singleBinLobe()
    {
        const Bins bins = withPeak(64, 10);
        LobeTables tables;
        const auto m = SpectralMetrics::compute(bins, 1, 3, tables);
        QCOMPARE(tables.mainLobe[0], 10);
        QCOMPARE(tables.harmonics[0][0], 20);
        QCOMPARE(tables.harmonics[1][0], 30);
        double total = 0;
        for (int k = 1; k <= 31; ++k)
            total += power(bins, k);
        QVERIFY(near(m.totalPower, total));
        QVERIFY(near(m.signalPower, power(bins, 10)));
        QVERIFY(near(m.harmonicPower, powerOf(bins, {20, 30})));
    }

    void mainLobeBinsStayOutOfTheHarmonics()
    {
        // Harmonic 2 of bin 6 spans 7 to 17; 7 to 11 belong to the main lobe.
        Bins bins(64);
        for (int k = 0; k < 64; ++k)
            bins[k] = {0.001 * (k + 1), 0};
        bins[6] = {10, 0};
        LobeTables tables;
        const auto m = SpectralMetrics::compute(bins, 11, 2, tables);
        QCOMPARE(m.fundamental, 6);
        QVERIFY(near(m.harmonicPower, powerOf(bins, {12, 13, 14, 15, 16, 17})));
        const double pnd = m.totalPower - m.signalPower;
        QVERIFY(near(m.thd, 10 * std::log10(m.harmonicPower / m.signalPower), 1e-9));
        QVERIFY(near(m.snr, 10 * std::log10(m.signalPower / (pnd - m.harmonicPower)), 1e-9));
        QVERIFY(near(m.sinad, 10 * std::log10(m.signalPower / pnd), 1e-9));
    }

    void sharedHarmonicBinsCountPerHarmonic()
    {
        // Bin 8 of 64: harmonics 3 and 5 both fold onto bin 24 at lobe position
        // 0 and both count; harmonic 4 lands on Nyquist and moves to 31.
        const Bins bins = withPeak(64, 8);
        LobeTables tables;
        const auto m = SpectralMetrics::compute(bins, 1, 5, tables);
        QCOMPARE(tables.harmonics[2][0], 31);
        QCOMPARE(tables.harmonics[3][0], 24);
        QVERIFY(near(m.harmonicPower, powerOf(bins, {16, 24, 31, 24})));
    }

    void earlierHarmonicAtLowerPositionIsLeftOut()
    {
        // Bin 8 of 64, three-bin lobes: harmonic 3 is 24, 25, 23; harmonic 4
        // folds onto 31 three times and counts each; harmonic 5 folds to 24, 23,
        // 25, whose 25 (position 2) met harmonic 3 at position 1 and is left out.
        const Bins bins = withPeak(64, 8);
        LobeTables tables;
        const auto m = SpectralMetrics::compute(bins, 3, 5, tables);
        QCOMPARE(firstEntries(tables.harmonics[2], 3), (std::vector<int>{31, 31, 31}));
        QCOMPARE(firstEntries(tables.harmonics[3], 3), (std::vector<int>{24, 23, 25}));
        QVERIFY(near(m.harmonicPower, powerOf(bins, {16, 17, 15, 24, 25, 23, 31, 31, 31, 24, 23})));
    }

    void sfdrWithOneAndWithNoLocalMaximum()
    {
        Bins bins(64);
        for (int k = 0; k < 64; ++k)
            bins[k] = {1.0 / (k + 1), 0};
        LobeTables tables;
        auto m = SpectralMetrics::compute(bins, 1, 2, tables);
        QCOMPARE(m.sfdr, 0.0);
        QCOMPARE(m.largestPeak, m.secondPeak);

        bins[20] = {0.5, 0};
        m = SpectralMetrics::compute(bins, 1, 2, tables);
        QCOMPARE(m.largestPeak, 0.5);
        QCOMPARE(m.secondPeak, -99999999999999.0);
        QVERIFY(near(m.sfdr, 20 * std::log10(0.5 / 99999999999999.0), 1e-12));
        QVERIFY(m.sfdr < -280);
    }

    void firstOfEqualMaximaIsTheFundamental()
    {
        Bins bins = withPeak(64, 12);
        bins[20] = bins[12];
        LobeTables tables;
        QCOMPARE(SpectralMetrics::compute(bins, 3, 2, tables).fundamental, 12);
    }

    void silenceLeavesEverythingUncomputed()
    {
        LobeTables tables;
        const auto m = SpectralMetrics::compute(Bins(4096), 11, 10, tables);
        QCOMPARE(m.snr, 999999999.0);
        QCOMPARE(m.sinad, 999999999.0);
        QCOMPARE(m.thd, 999999999.0);
        QCOMPARE(m.sfdr, 999999999.0);
        QVERIFY(SpectralMetrics::compute(Bins(1, {5, 0}), 11, 10, tables).snr == 999999999.0);
    }

    void noHarmonicPowerLeavesThdAlone()
    {
        Bins bins = withPeak(64, 10);
        bins[20] = {0, 0};
        bins[30] = {0, 0};
        LobeTables tables;
        const auto m = SpectralMetrics::compute(bins, 1, 3, tables);
        QCOMPARE(m.harmonicPower, 0.0);
        QCOMPARE(m.thd, 999999999.0);
        QVERIFY(m.snr != 999999999.0 && m.sinad != 999999999.0 && m.sfdr != 999999999.0);
    }

    void toneWithNoiseAndHarmonicsMatchesTheory()
    {
        // 24-bit block: tone of half full scale on bin 101 of 4096, harmonics at
        // -60 and -70 dBc on exact bins, Gaussian noise of known power (the
        // rounding to codes included by measuring the realised error).
        const int n = 4096;
        const double a = std::ldexp(1.0, 22);
        const double a2 = a * 1e-3;
        const double a3 = a * std::pow(10.0, -70.0 / 20);
        std::mt19937 random(7);
        std::normal_distribution<double> gauss(0, 300);
        std::vector<std::int32_t> codes(n);
        double noisePower = 0;
        for (int i = 0; i < n; ++i) {
            const double phase = 2 * std::numbers::pi * 101 * i / n;
            const double clean = a * std::sin(phase) + a2 * std::sin(2 * phase + 0.3) + a3 * std::sin(3 * phase + 1.1);
            codes[i] = static_cast<std::int32_t>(std::lround(clean + gauss(random)));
            noisePower += (codes[i] - clean) * (codes[i] - clean);
        }
        noisePower /= n;
        Spectrum spectrum;
        spectrum.compute(codes, FftWindow::Rectangular, false, 24);
        LobeTables tables;
        const auto m = SpectralMetrics::compute(spectrum.bins().first(n), 1, 3, tables);
        QCOMPARE(m.fundamental, 101);
        const double signal = a * a / 2;
        const double harmonics = (a2 * a2 + a3 * a3) / 2;
        QVERIFY2(std::fabs(m.snr - 10 * std::log10(signal / noisePower)) < 0.1, qPrintable(QString::number(m.snr)));
        QVERIFY2(std::fabs(m.thd - 10 * std::log10(harmonics / signal)) < 0.1, qPrintable(QString::number(m.thd)));
        QVERIFY2(std::fabs(m.sinad - 10 * std::log10(signal / (noisePower + harmonics))) < 0.1,
                 qPrintable(QString::number(m.sinad)));
        QVERIFY2(std::fabs(m.sfdr - 60) < 0.1, qPrintable(QString::number(m.sfdr)));
    }

    void powersGiveTheMetricsOfTheBins()
    {
        // The same block through its complex bins and through its powers alone
        // (as an averaged spectrum offers them): identical figures and tables;
        // powers against a 0-dB reference (a common factor) change no figure.
        const int n = 1024;
        std::mt19937 random(3);
        std::normal_distribution<double> gauss(0, 40);
        std::vector<std::int32_t> codes(n);
        for (int i = 0; i < n; ++i)
            codes[i] = static_cast<std::int32_t>(std::lround(3e6 * std::sin(2 * std::numbers::pi * 37.3 * i / n)
                                                             + 2e3 * std::sin(2 * std::numbers::pi * 74.6 * i / n)
                                                             + gauss(random)));
        Spectrum spectrum;
        spectrum.compute(codes, FftWindow::BlackmanHarris, false, 24);
        LobeTables fromBins;
        const auto expected = SpectralMetrics::compute(spectrum.bins().first(n), 11, 10, fromBins);
        std::vector<double> powers(n / 2);
        for (int b = 0; b < n / 2; ++b)
            powers[b] = std::norm(spectrum.bins()[b]);
        LobeTables fromPowers;
        const auto same = SpectralMetrics::computeFromPowers(powers, n, 11, 10, fromPowers);
        QCOMPARE(same.snr, expected.snr);
        QCOMPARE(same.sinad, expected.sinad);
        QCOMPARE(same.thd, expected.thd);
        QCOMPARE(same.sfdr, expected.sfdr);
        QCOMPARE(same.fundamental, expected.fundamental);
        QVERIFY(fromPowers.mainLobe == fromBins.mainLobe && fromPowers.harmonics == fromBins.harmonics);

        for (double &p : powers)
            p *= std::pow(10.0, 132.45 / 10);
        const auto scaled = SpectralMetrics::computeFromPowers(powers, n, 11, 10, fromPowers);
        // Within the rounding of the noise power, a difference of sums about
        // 10^9 times larger.
        QVERIFY(std::fabs(scaled.snr - expected.snr) < 1e-5 && std::fabs(scaled.sinad - expected.sinad) < 1e-5);
        QVERIFY(std::fabs(scaled.thd - expected.thd) < 1e-5 && std::fabs(scaled.sfdr - expected.sfdr) < 1e-5);

        // Too few powers for the length given: nothing is read, nothing computed.
        const auto tooShort = SpectralMetrics::computeFromPowers(std::span(powers).first(100), n, 11, 10, fromPowers);
        QCOMPARE(tooShort.snr, SpectralMetrics::Uncomputed);
    }

    void optionTexts()
    {
        QCOMPARE(MetricOptions::numBins(QStringLiteral("10")), 11);
        QCOMPARE(MetricOptions::numBins(QStringLiteral("4")), 5);
        QCOMPARE(MetricOptions::numBins(QStringLiteral("999")), 51);
        QCOMPARE(MetricOptions::numBins(QString()), 1);
        QCOMPARE(MetricOptions::numBins(QStringLiteral("0")), 1);
        QCOMPARE(MetricOptions::numBins(QStringLiteral("1011")), 11);
        QCOMPARE(MetricOptions::numHarmonics(QStringLiteral("25")), 20);
        QCOMPARE(MetricOptions::numHarmonics(QStringLiteral("1")), 2);
        QCOMPARE(MetricOptions::numHarmonics(QString()), 2);
        QCOMPARE(MetricOptions::numHarmonics(QStringLiteral("10")), 10);
    }

    void marksInGroupOrder()
    {
        const Bins bins = withPeak(64, 3);
        LobeTables tables;
        SpectralMetrics::compute(bins, 3, 3, tables);
        std::vector<double> levels(Spectrum::MaxLength + 1);
        for (std::size_t k = 0; k < levels.size(); ++k)
            levels[k] = -double(k);
        const auto marks = FftMarks::marks({true, true, true}, tables, levels, 64, 6400.0, 3, 3);
        // 3 DC marks, 3 main-lobe marks, 3 + 3 harmonic marks.
        QCOMPARE(marks.size(), std::size_t(12));
        for (std::size_t i = 0; i < marks.size(); ++i)
            QCOMPARE(marks[i].index, int(i) + 1);
        QCOMPARE(marks[2].x, 200.0);
        QCOMPARE(marks[2].color, FftMarks::DcColor);
        QCOMPARE(marks[0].text, QStringLiteral("DC"));
        QCOMPARE(marks[1].text, QString());
        QCOMPARE(marks[3].text, QStringLiteral("Main Lobe"));
        QCOMPARE(marks[3].x, 300.0);
        QCOMPARE(marks[3].y, -3.0);
        QCOMPARE(marks[3].color, 255u);
        QCOMPARE(marks[4].text, QString());
        QCOMPARE(marks[6].text, QStringLiteral("H2"));
        QCOMPARE(marks[6].x, 600.0);
        QCOMPARE(marks[6].color, 8388736u);
        QCOMPARE(marks[9].text, QStringLiteral("H3"));

        // Only the main lobe; the numbers start at 1 again.
        const auto lobeOnly = FftMarks::marks({false, true, false}, tables, levels, 64, 6400.0, 3, 3);
        QCOMPARE(lobeOnly.size(), std::size_t(3));
        QCOMPARE(lobeOnly[0].index, 1);
    }

    void harmonicMarksBelowDcAreSkipped()
    {
        // Bin 22 of 64 with eleven-bin lobes: harmonic 3 (66) wraps onto bin 2
        // and the lower half of its lobe reaches -1 .. -3.
        LobeTables tables;
        SpectralMetrics::compute(withPeak(64, 22), 11, 3, tables);
        QCOMPARE(tables.harmonics[1][0], 2);
        QCOMPARE(tables.harmonics[1][10], -3);
        const std::vector<double> levels(Spectrum::MaxLength + 1, -10.0);
        const auto marks = FftMarks::marks({false, false, true}, tables, levels, 64, 64.0, 11, 3);
        QCOMPARE(marks.size(), std::size_t(11 + 8));
        for (const auto &mark : marks)
            QVERIFY(mark.x >= 0);
        QCOMPARE(marks.back().index, 19);
    }

    void statusTexts()
    {
        SpectralMetrics m;
        m.snr = 90.123456;
        m.thd = -80.5;
        QCOMPARE(FftMarks::statusTexts(m, QLatin1Char(',')),
                 (QStringList{QStringLiteral("SNR: 90,1235"), QStringLiteral("SINAD: -"),
                              QStringLiteral("THD: -80,5"), QStringLiteral("SFDR: -")}));
    }
};

QTEST_GUILESS_MAIN(TestSpectralMetrics)
#include "tst_spectralmetrics.moc"
