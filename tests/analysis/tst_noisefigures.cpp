// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftWindow.h"
#include "NoiseFigures.h"
#include "NoiseTexts.h"
#include "SpectralMetrics.h"
#include "Spectrum.h"
#include "ToneFigures.h"

#include <QTest>
#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr int Bits = 24;
constexpr double Lsb = 2 * 4.096 / 16777216.0;

// A sine of amplitude in codes at (possibly fractional) bin of n, plus
// Gaussian noise of sigma codes.
std::vector<std::int32_t> tone(int n, double bin, double amplitude, double sigma = 0, unsigned seed = 1)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, sigma > 0 ? sigma : 1.0);
    std::vector<std::int32_t> codes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        codes[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::lround(
            amplitude * std::sin(2 * std::numbers::pi * bin * i / n) + (sigma > 0 ? noise(random) : 0.0)));
    return codes;
}

struct Analysed {
    SpectralMetrics metrics;
    ToneFigures tone;
};

Analysed analyse(const std::vector<std::int32_t> &codes, FftWindow window, int numBins = 11)
{
    Spectrum spectrum;
    spectrum.compute(codes, window, false, Bits);
    LobeTables tables;
    const auto n = static_cast<std::size_t>(spectrum.length());
    const SpectralMetrics metrics = SpectralMetrics::compute(spectrum.bins().first(n), numBins, 10, tables);
    return {metrics, ToneFigures::compute(metrics, spectrum, numBins, Bits)};
}

bool allEmpty(const NoiseFigures &f)
{
    return !f.rmsNoiseCodes && !f.rmsNoiseUv && !f.ppNoiseCodes && !f.ppNoiseUv && !f.offsetUv &&
           !f.effectiveResolutionBits && !f.noiseFreeResolutionBits && !f.noiseFreeResolutionMeasuredBits;
}

} // namespace

class TestNoiseFigures : public QObject
{
    Q_OBJECT

private slots:
    void figuresOfAKnownBlock()
    {
        // Codes offset +/- 3 alternately, and one sample 2 codes further out:
        // N = 4096, mean = offset + 2 / N, known sum of squares.
        constexpr int n = 4096;
        for (const double offset : {0.0, -12.0, 8000000.0}) {
            std::vector<std::int32_t> codes(n);
            for (int i = 0; i < n; ++i)
                codes[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(offset + (i % 2 ? 3 : -3));
            codes[0] = static_cast<std::int32_t>(offset - 5);
            const double mean = offset - 2.0 / n;
            // Deviations from offset: -5 once, -3 and +3 otherwise; sum (d - m)^2 = sum d^2 - N m^2.
            const double sumD2 = 25.0 + 9.0 * (n - 1);
            const double m = -2.0 / n;
            const double sigma = std::sqrt((sumD2 - n * m * m) / (n - 1));
            const NoiseFigures f = NoiseFigures::compute(codes, Bits, Lsb);
            QVERIFY(f.rmsNoiseCodes && std::fabs(*f.rmsNoiseCodes - sigma) < 1e-9);
            QVERIFY(std::fabs(*f.rmsNoiseUv - sigma * Lsb * 1e6) < 1e-9);
            QCOMPARE(*f.ppNoiseCodes, 8.0);
            QVERIFY(std::fabs(*f.ppNoiseUv - 8 * Lsb * 1e6) < 1e-12);
            QVERIFY(std::fabs(*f.offsetUv - mean * Lsb * 1e6) < 1e-6);
            QVERIFY(std::fabs(*f.effectiveResolutionBits - std::log2(16777216.0 / sigma)) < 1e-9);
            QVERIFY(std::fabs(*f.noiseFreeResolutionBits - std::log2(16777216.0 / (6.6 * sigma))) < 1e-9);
            QVERIFY(std::fabs(*f.noiseFreeResolutionMeasuredBits - std::log2(16777216.0 / 8)) < 1e-12);
        }
    }

    void gaussianNoiseMatchesAnIndependentEstimate()
    {
        // Welford's running estimate in the test against the figures' two passes.
        const std::vector<std::int32_t> codes = tone(10000, 0, 0, 2.5, 7);
        double mean = 0, m2 = 0;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            const double delta = codes[i] - mean;
            mean += delta / static_cast<double>(i + 1);
            m2 += delta * (codes[i] - mean);
        }
        const NoiseFigures f = NoiseFigures::compute(codes, Bits, Lsb);
        QVERIFY(std::fabs(*f.rmsNoiseCodes - std::sqrt(m2 / (codes.size() - 1))) < 1e-9);
        QVERIFY(std::fabs(*f.rmsNoiseCodes - 2.5) < 0.1); // and it is the noise put in
    }

    void nullCases()
    {
        QVERIFY(allEmpty(NoiseFigures::compute({}, Bits, Lsb)));
        const std::vector<std::int32_t> one{42};
        QVERIFY(allEmpty(NoiseFigures::compute(one, Bits, Lsb)));
        const std::vector<std::int32_t> constant(100, -7);
        const NoiseFigures f = NoiseFigures::compute(constant, Bits, Lsb);
        QCOMPARE(*f.rmsNoiseCodes, 0.0);
        QCOMPARE(*f.rmsNoiseUv, 0.0);
        QCOMPARE(*f.ppNoiseCodes, 0.0);
        QCOMPARE(*f.ppNoiseUv, 0.0);
        QVERIFY(std::fabs(*f.offsetUv - (-7 * Lsb * 1e6)) < 1e-12);
        QVERIFY(!f.effectiveResolutionBits && !f.noiseFreeResolutionBits && !f.noiseFreeResolutionMeasuredBits);
    }

    void toneLevelInEveryWindow()
    {
        constexpr int n = 4096;
        const double fullScale = std::ldexp(1.0, Bits - 1);
        for (int w = 0; w < FftWindows::Count; ++w) {
            const FftWindow window = FftWindows::fromIndex(w);
            for (const double level : {0.0, -20.0}) {
                const double amplitude = fullScale * std::pow(10.0, level / 20);
                const double expected = level;
                // A code of noise, as a real converter has: a noiseless sine's
                // error is all harmonics and leaves SNR uncomputed.
                const Analysed onBin = analyse(tone(n, 100, amplitude, 1.0), window);
                QVERIFY2(onBin.tone.fundamentalDbfs && std::fabs(*onBin.tone.fundamentalDbfs - expected) <= 0.05,
                         qPrintable(FftWindows::title(window)));
                QVERIFY(onBin.tone.toneFound);
                if (window == FftWindow::Rectangular)
                    continue; // its leakage reaches far beyond the main lobe
                for (const double bin : {100.5, 217.27}) {
                    const Analysed between = analyse(tone(n, bin, amplitude, 1.0), window);
                    QVERIFY2(std::fabs(*between.tone.fundamentalDbfs - expected) <= 0.1,
                             qPrintable(FftWindows::title(window) + QString::number(bin)));
                }
            }
        }
    }

    void enobOfASineInKnownNoise()
    {
        // A -1 dBFS sine in white noise of sigma codes: SINAD = (A^2 / 2) / sigma^2.
        const double amplitude = std::ldexp(1.0, Bits - 1) * std::pow(10.0, -1.0 / 20);
        const double sigma = 300;
        const Analysed a = analyse(tone(16384, 1001, amplitude, sigma, 3), FftWindow::Hanning);
        const double sinad = 10 * std::log10(amplitude * amplitude / 2 / (sigma * sigma));
        QVERIFY(a.tone.enob);
        QVERIFY2(std::fabs(*a.tone.enob - (sinad - 1.76) / 6.02) < 0.05, qPrintable(QString::number(*a.tone.enob)));
        QVERIFY(a.tone.toneFound);
    }

    void clearPeakOfAToneBetweenBins()
    {
        // Leakage fills the noise bins: SNR stays below the tone threshold, yet
        // the peak stands far above the median bin; noise's does not.
        Spectrum spectrum;
        LobeTables tables;
        const auto peakOf = [&](const std::vector<std::int32_t> &codes, double &snr) {
            spectrum.compute(codes, FftWindow::Rectangular, false, Bits);
            const SpectralMetrics metrics = SpectralMetrics::compute(spectrum.bins().first(4096), 3, 10, tables);
            snr = metrics.snr;
            return ToneFigures::hasClearPeak(metrics, spectrum, 3);
        };
        double snr = 0;
        QVERIFY(peakOf(tone(4096, 100.5, std::ldexp(1.0, Bits - 1), 1.0), snr));
        QVERIFY2(snr < ToneFigures::ToneThresholdDb, qPrintable(QString::number(snr)));
        QVERIFY(!peakOf(tone(4096, 0, 0, 4.0, 5), snr));
    }

    void noToneIsSaid()
    {
        // Noise alone: the largest bin is no tone, but the figures exist.
        const Analysed noise = analyse(tone(4096, 0, 0, 4.0, 5), FftWindow::BlackmanHarris);
        QVERIFY(noise.metrics.snr != SpectralMetrics::Uncomputed && noise.metrics.snr < 10);
        QVERIFY(!noise.tone.toneFound && noise.tone.enob && noise.tone.fundamentalDbfs);
        // A block of zeros has no metric and no tone level.
        const Analysed zeros = analyse(std::vector<std::int32_t>(4096, 0), FftWindow::Hanning);
        QVERIFY(!zeros.tone.toneFound && !zeros.tone.enob && !zeros.tone.fundamentalDbfs);
        // Eight samples with NB 11: no fundamental was searched.
        const Analysed tooShort = analyse(tone(8, 1, 1000), FftWindow::Rectangular);
        QVERIFY(!tooShort.tone.fundamentalDbfs);
    }

    void screenTexts()
    {
        const QChar comma(',');
        QCOMPARE(NoiseTexts::significant3(0.00012349, comma), QStringLiteral("0,000123"));
        QCOMPARE(NoiseTexts::significant3(999.6, comma), QStringLiteral("1000"));
        QCOMPARE(NoiseTexts::significant3(-12345, comma), QStringLiteral("-12300"));
        QCOMPARE(NoiseTexts::microvolts(1.0, comma), QStringLiteral("1,00 µV"));
        QCOMPARE(NoiseTexts::bits(17.456, comma), QStringLiteral("17,46 bits"));
        QCOMPARE(NoiseTexts::bits(std::nullopt, comma), QStringLiteral("-"));
    }
};

QTEST_GUILESS_MAIN(TestNoiseFigures)
#include "tst_noisefigures.moc"
