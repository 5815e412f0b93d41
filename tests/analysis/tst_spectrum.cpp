// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftWindow.h"
#include "RadixTwoFft.h"
#include "ReferenceFft.h"
#include "Spectrum.h"

#include <QTest>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace {

std::vector<std::int32_t> sine(int count, int bin, int length, double amplitude, double offset = 0)
{
    std::vector<std::int32_t> codes(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        codes[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(
            std::lround(offset + amplitude * std::sin(2 * std::numbers::pi * bin * i / length)));
    return codes;
}

} // namespace

class TestSpectrum : public QObject
{
    Q_OBJECT

private slots:
    void windowValuesForEightPoints()
    {
        const double hanning[] = {0, 0.1464466, 0.5, 0.8535534, 1, 0.8535534, 0.5, 0.1464466};
        const double triangular[] = {0, 0.25, 0.5, 0.75, 1, 0.75, 0.5, 0.25};
        for (int i = 0; i < 8; ++i) {
            QVERIFY(std::fabs(FftWindows::value(FftWindow::Hanning, i, 8) - hanning[i]) < 1e-6);
            QCOMPARE(FftWindows::value(FftWindow::Triangular, i, 8), triangular[i]);
            QCOMPARE(FftWindows::value(FftWindow::Rectangular, i, 8), 1.0);
        }
        QVERIFY(std::fabs(FftWindows::value(FftWindow::Hamming, 0, 8) - 0.08) < 1e-12);
        QVERIFY(std::fabs(FftWindows::value(FftWindow::Hamming, 7, 8) - 0.08) < 1e-12);
        QCOMPARE(FftWindows::value(FftWindow::Hanning, 0, 8), 0.0);
        // Periodic windows peak at the middle, the symmetric Hamming does not reach 1 there.
        QVERIFY(std::fabs(FftWindows::value(FftWindow::Blackman, 4, 8) - 1.0) < 1e-12);
        QVERIFY(std::fabs(FftWindows::value(FftWindow::BlackmanHarris, 4, 8) - 1.0) < 1e-12);
        QVERIFY(std::fabs(FftWindows::value(FftWindow::Continuous5thDerivative, 4, 8) - 1.0) < 1e-12);
        QVERIFY(std::fabs(FftWindows::value(FftWindow::Continuous5thDerivative, 0, 8)) < 1e-12);
    }

    void windowsUseTheirOwnTwoPiConstants()
    {
        // The cosine arguments are c1 * i / n with c1 = 6.28318530717958, not 2 pi.
        for (int i = 1; i < 64; ++i) {
            QCOMPARE(FftWindows::value(FftWindow::Hanning, i, 64),
                     0.5 - 0.5 * std::cos(6.28318530717958 * i / 64));
            QCOMPARE(FftWindows::value(FftWindow::BlackmanHarris, i, 64),
                     0.35875 - 0.48829 * std::cos(6.28318530717958 * i / 64)
                         + 0.14128 * std::cos(12.56637061435916 * i / 64)
                         - 0.01168 * std::cos(18.84955592153874 * i / 64));
        }
    }

    void oneBinHammingIsFinite()
    {
        QCOMPARE(FftWindows::value(FftWindow::Hamming, 0, 1), 0.54 - 0.46);
        Spectrum spectrum;
        const std::int32_t one[] = {1000};
        spectrum.compute(one, FftWindow::Hamming, false, 24);
        QCOMPARE(spectrum.length(), 1);
        QVERIFY(std::isfinite(spectrum.levels()[0]));
    }

    void windowNamesAndCaptions()
    {
        QCOMPARE(FftWindows::caption(FftWindow::Rectangular), QStringLiteral("Rectangular (unchanged)"));
        QCOMPARE(FftWindows::title(FftWindow::Continuous5thDerivative),
                 QStringLiteral("Continuous 5th Derivative Window"));
        QCOMPARE(FftWindows::fromIndex(6), FftWindow::Triangular);
        QCOMPARE(FftWindows::fromIndex(7), FftWindow::BlackmanHarris7);
        QCOMPARE(FftWindows::title(FftWindow::BlackmanHarris7), QStringLiteral("Blackman-Harris 7-term Window"));
        QCOMPARE(FftWindows::fromIndex(8), FftWindow::Rectangular);
    }

    // A tone between bins leaks nothing above about -180 dB from 7 bins out:
    // the window's own transform, summed out, against its DC gain.
    void sevenTermSidelobesStayNearMinus180Db()
    {
        const int n = 256;
        double gain = 0;
        for (int i = 0; i < n; ++i)
            gain += FftWindows::value(FftWindow::BlackmanHarris7, i, n);
        double highest = -400;
        for (double offset = 7.25; offset <= 60; offset += 0.25) {
            std::complex<double> sum;
            for (int i = 0; i < n; ++i)
                sum += FftWindows::value(FftWindow::BlackmanHarris7, i, n) * std::polar(1.0, 2 * M_PI * offset * i / n);
            highest = std::max(highest, 20 * std::log10(std::abs(sum) / gain));
        }
        QVERIFY2(highest < -175 && highest > -190, qPrintable(QString::number(highest)));
    }

    void lengthRule_data()
    {
        QTest::addColumn<int>("numPoints");
        QTest::addColumn<int>("length");
        QTest::newRow("1000") << 1000 << 512;
        QTest::newRow("32769") << 32769 << 32768;
        QTest::newRow("32768") << 32768 << 32768;
        QTest::newRow("8") << 8 << 8;
        QTest::newRow("4097") << 4097 << 4096;
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("0 transforms nothing") << 0 << 0;
        QTest::newRow("negative") << -3 << 0;
        QTest::newRow("65535") << 65535 << 32768;
        QTest::newRow("above the buffer is capped") << 100000 << 32768;
    }
    void lengthRule()
    {
        QFETCH(int, numPoints);
        QFETCH(int, length);
        QCOMPARE(Spectrum::fftLength(numPoints), length);
    }

    void transformEqualsPlainAlgorithm_data()
    {
        QTest::addColumn<int>("n");
        for (int n : {2, 4, 8, 16, 1024, 32768})
            QTest::addRow("%d", n) << n;
    }
    void transformEqualsPlainAlgorithm()
    {
        QFETCH(int, n);
        std::mt19937 random(static_cast<unsigned>(n));
        std::uniform_real_distribution<double> value(-8388608.0, 8388607.0);
        std::vector<std::complex<double>> points(static_cast<std::size_t>(n));
        for (auto &p : points)
            p = {value(random), value(random)};
        const auto expected = referenceFft(points);
        RadixTwoFft fft;
        // Twice: the second call runs on the kept tables.
        for (int round = 0; round < 2; ++round) {
            auto actual = points;
            fft.transform(actual);
            double largest = 0;
            for (const auto &x : expected)
                largest = std::max(largest, std::abs(x));
            for (std::size_t k = 0; k < actual.size(); ++k)
                QVERIFY2(std::abs(actual[k] - expected[k]) <= 1e-12 * largest, qPrintable(QString::number(k)));
        }
    }

    void transformSignConvention()
    {
        // X(k) = sum x(j) e^(+2 pi i jk/n): e^(-2 pi i j 3/n) lands on bin 3 alone.
        const int n = 16;
        std::vector<std::complex<double>> points(n);
        for (int j = 0; j < n; ++j)
            points[j] = std::polar(1.0, -2 * std::numbers::pi * j * 3 / n);
        RadixTwoFft().transform(points);
        for (int k = 0; k < n; ++k)
            QVERIFY(std::fabs(std::abs(points[k]) - (k == 3 ? n : 0.0)) < 1e-9);
    }

    void checkRefusesOtherLengths()
    {
        Spectrum spectrum;
        std::vector<std::complex<double>> points(12, {1.0, 0.0});
        int reports = 0;
        QCOMPARE(spectrum.checkAndTransform(points, 0, [&](std::int32_t) { ++reports; }),
                 Spectrum::TransformStatus::LengthNotPowerOfTwo);
        QCOMPARE(reports, 0);
        for (const auto &p : points)
            QCOMPARE(p, std::complex<double>(1.0, 0.0));
        QCOMPARE(QString::fromLatin1(Spectrum::LengthMessage), QStringLiteral("ARRAY DIMENSION SHOULD BE 2^M"));
    }

    void checkReportsEverySixteenthPoint()
    {
        Spectrum spectrum;
        std::vector<std::complex<double>> points(64, {1.0, 0.0});
        std::vector<std::int32_t> reports;
        QCOMPARE(spectrum.checkAndTransform(points, 5, [&](std::int32_t p) { reports.push_back(p); }),
                 Spectrum::TransformStatus::Transformed);
        QCOMPARE(reports, (std::vector<std::int32_t>{6, 7, 8, 9}));
        QVERIFY(std::fabs(points[0].real() - 64) < 1e-12);
    }

    void progressOfAWholeComputation()
    {
        Spectrum spectrum;
        const std::vector<std::int32_t> codes(32, 5);
        std::vector<std::int32_t> reports;
        spectrum.compute(codes, FftWindow::Rectangular, false, 24, [&](std::int32_t p) { reports.push_back(p); });
        // Windowing: i / 16 at i = 0, 8, 16, 24; then one more per 16 points.
        QCOMPARE(reports, (std::vector<std::int32_t>{0, 0, 1, 1, 2, 3}));
    }

    void zerosReadMinusReference()
    {
        Spectrum spectrum;
        const std::vector<std::int32_t> zeros(4096, 0);
        spectrum.compute(zeros, FftWindow::Blackman, false, 24);
        const double ref = 20 * std::log(std::ldexp(1.0, 22)) / std::log(10.0);
        QVERIFY(std::fabs(ref - 132.45) < 0.005);
        for (int k = 0; k < 4096; ++k) {
            QCOMPARE(spectrum.levels()[k], -ref);
            QCOMPARE(spectrum.bins()[k], std::complex<double>(0, 0));
        }
    }

    void fullScaleSineReadsZeroDecibels()
    {
        Spectrum spectrum;
        spectrum.compute(sine(4096, 64, 4096, std::ldexp(1.0, 23)), FftWindow::Rectangular, false, 24);
        QCOMPARE(spectrum.length(), 4096);
        QVERIFY(std::fabs(spectrum.levels()[64]) < 1e-4);
        QVERIFY(spectrum.levels()[63] < -100);
        // The scaled bin holds half the amplitude.
        QVERIFY(std::fabs(std::abs(spectrum.bins()[64]) - std::ldexp(1.0, 22)) < 1);
    }

    void onlyTheFirstPowerOfTwoSamplesCount()
    {
        Spectrum spectrum;
        auto codes = sine(1000, 8, 512, 1000);
        spectrum.compute(codes, FftWindow::Hanning, false, 16);
        QCOMPARE(spectrum.length(), 512);
        const std::vector<double> before(spectrum.levels().begin(), spectrum.levels().begin() + 512);
        std::fill(codes.begin() + 512, codes.end(), 30000);
        spectrum.compute(codes, FftWindow::Hanning, false, 16);
        QVERIFY(std::equal(before.begin(), before.end(), spectrum.levels().begin()));
    }

    void normalisedToTheHighestBin()
    {
        Spectrum spectrum;
        spectrum.compute(sine(4096, 100, 4096, 5000), FftWindow::Hanning, true, 24);
        QCOMPARE(spectrum.levels()[100], 0.0);
        QVERIFY(std::fabs(spectrum.levels()[4096 - 100]) < 1e-9);
        QVERIFY(*std::max_element(spectrum.levels().begin(), spectrum.levels().begin() + 4096) <= 0.0);

        // The DC bin takes part: a large offset becomes the reference.
        spectrum.compute(sine(4096, 100, 4096, 5000, 1000000), FftWindow::Rectangular, true, 24);
        QCOMPARE(spectrum.levels()[0], 0.0);
        QVERIFY(spectrum.levels()[100] < -40);
        QVERIFY(std::fabs(spectrum.reference() - 20 * std::log10(1000000.0)) < 1e-6);
    }

    void noSamplesNoTransform()
    {
        Spectrum spectrum;
        QCOMPARE(spectrum.compute({}, FftWindow::Hamming, false, 24), Spectrum::TransformStatus::Transformed);
        QCOMPARE(spectrum.length(), 0);
    }

    void levelHelpers()
    {
        QCOMPARE(Spectrum::decibels(0, 0), 0.0);
        QVERIFY(std::fabs(Spectrum::decibels(3, 4) - 20 * std::log10(5.0)) < 1e-12);
        QCOMPARE(Spectrum::magnitude(0, 0), 0.0);
        QCOMPARE(Spectrum::magnitude(-3, 4), 5.0);
    }
};

QTEST_GUILESS_MAIN(TestSpectrum)
#include "tst_spectrum.moc"
