// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoherentFrequency.h"
#include "FftWindow.h"
#include "LeakageAdvice.h"
#include "MetricOptions.h"
#include "SineFit.h"
#include "SineFitFigures.h"
#include "SpectralMetrics.h"
#include "Spectrum.h"

#include <QTest>
#include <cmath>
#include <numbers>
#include <numeric>
#include <random>

namespace {

constexpr int Bits = 24;
constexpr double Rate = 20833;
constexpr int Length = 4096;

// A -1 dBFS tone at cycles per block, harmonics 2 and 3 at harmonicDbc and
// white noise for the given SNR, rounded to codes.
std::vector<std::int32_t> block(double cycles, double snrDb, double harmonicDbc = -300)
{
    const double amplitude = std::ldexp(1.0, Bits - 1) * std::pow(10.0, -1.0 / 20);
    const double sigma = amplitude / std::sqrt(2.0) * std::pow(10.0, -snrDb / 20);
    const double harmonic = amplitude * std::pow(10.0, harmonicDbc / 20);
    std::mt19937 random(5);
    std::normal_distribution<double> gauss(0.0, sigma);
    std::vector<std::int32_t> codes(Length);
    for (int i = 0; i < Length; ++i) {
        const double phase = 2 * std::numbers::pi * cycles * i / Length + 0.7;
        codes[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::lround(
            amplitude * std::cos(phase) + harmonic * (std::cos(2 * phase) + std::cos(3 * phase)) + gauss(random)));
    }
    return codes;
}

struct Judged {
    SpectralMetrics measured;
    LeakageAdvice advice;
};

// The block analysed as the FFT view does: numBins 0 means Auto.
Judged judge(const std::vector<std::int32_t> &codes, FftWindow window, int numBins = 0)
{
    Spectrum spectrum;
    spectrum.compute(codes, window, false, Bits);
    const auto bins = spectrum.bins().first(Length);
    const int ownBins = MetricOptions::autoNumBins(window);
    const LeakageAdvice::Setup setup{window, Length, numBins > 0 ? numBins : ownBins, 10,
                                     numBins > 0 ? SpectralMetrics::Noise::Sums
                                                 : SpectralMetrics::Noise::NoiseBinMean};
    LobeTables tables;
    const double ownNoise = SpectralMetrics::compute(bins, ownBins, 10, tables).noiseBinPower;
    const SpectralMetrics measured = SpectralMetrics::compute(bins, setup.numBins, 10, tables, setup.noise);
    const SineFitFigures fit = SineFitFigures::compute(codes, spectrum, measured.fundamental, Rate, Bits, 1e-6);
    return {measured, LeakageAdvice::compute(*fit.fit, setup, measured, ownNoise)};
}

} // namespace

class TestLeakageAdvice : public QObject
{
    Q_OBJECT

private slots:
    void advisorNamesWhatLimitsTheFigures()
    {
        const double betweenBins = 1000 * Length / Rate; // 196.6 cycles
        using Limit = LeakageAdvice::Limit;

        const Judged rectangular = judge(block(betweenBins, 125), FftWindow::Rectangular);
        QCOMPARE(rectangular.advice.limitedBy, Limit::Leakage);
        QCOMPARE(LeakageAdvice::limitName(rectangular.advice.limitedBy), QStringLiteral("leakage"));
        QCOMPARE(rectangular.advice.note,
                 QStringLiteral("Tone between bins with Rectangular: choose a window or a coherent frequency"));
        // The same tone on a bin leaks nothing.
        QCOMPARE(judge(block(197, 125), FftWindow::Rectangular).advice.limitedBy, Limit::None);

        // The four-term window leaks near -90 dB: the measured SNR is the leakage's.
        const Judged fourTerm = judge(block(betweenBins, 125), FftWindow::BlackmanHarris);
        QCOMPARE(fourTerm.advice.limitedBy, Limit::Leakage);
        QVERIFY(std::fabs(*fourTerm.advice.leakageSnrDb - fourTerm.measured.snr) <= 3);
        QVERIFY(fourTerm.measured.snr < 100);
        QCOMPARE(fourTerm.advice.note,
                 QStringLiteral("Window leakage limits SNR to about %1 dB: choose Blackman-Harris 7-term or Auto bins")
                     .arg(std::lround(*fourTerm.advice.leakageSnrDb)));
        // Beside noise 10 dB above its leakage it stays silent.
        QCOMPARE(judge(block(betweenBins, 80), FftWindow::BlackmanHarris).advice.limitedBy, Limit::None);

        // The seven-term window with Auto is silent at 24-bit levels, also
        // with the simulated board's -100 dBc harmonics and 118 dB SNR.
        for (const auto &codes : {block(betweenBins, 125), block(betweenBins, 118, -100)}) {
            const Judged sevenTerm = judge(codes, FftWindow::BlackmanHarris7);
            QCOMPARE(sevenTerm.advice.limitedBy, Limit::None);
            QVERIFY(sevenTerm.advice.note.isEmpty());
            QVERIFY(LeakageAdvice::limitName(sevenTerm.advice.limitedBy).isNull());
        }
        // With NB 11 its main lobe spills over the signal bins.
        const Judged narrow = judge(block(betweenBins, 125), FftWindow::BlackmanHarris7, 11);
        QCOMPARE(narrow.advice.limitedBy, Limit::SignalBins);
        QCOMPARE(LeakageAdvice::limitName(narrow.advice.limitedBy), QStringLiteral("signal_bins"));
        QVERIFY(narrow.advice.note.endsWith(QStringLiteral("choose Auto bins (NB 17)")));
    }

    void fittedSineFollowsTheTone()
    {
        // The leakage is that of the sine the fit describes, phase included.
        const double cycles = 196.62;
        const std::optional<SineFit> fit = SineFit::fit(block(cycles, 125), cycles / Length);
        const double amplitude = std::ldexp(1.0, Bits - 1) * std::pow(10.0, -1.0 / 20);
        for (const int i : {0, 1000, Length - 1})
            QVERIFY(std::fabs(fit->sineAt(i) - amplitude * std::cos(2 * std::numbers::pi * cycles * i / Length + 0.7))
                    < 1);
    }

    void coherentFrequencyIsTheNearestOddCoprimeCount()
    {
        // Against a search of every count, in the test: odd, coprime with n,
        // below Nyquist, nearest the tone (the lower of two equally near).
        const auto bruteForce = [](double cycles, std::int64_t n) {
            std::int64_t best = 0;
            for (std::int64_t m = 1; 2 * m < n; m += 2) {
                if (std::gcd(m, n) == 1 && (best == 0 || std::fabs(m - cycles) < std::fabs(best - cycles)))
                    best = m;
            }
            return best;
        };
        for (const std::int64_t n : {3, 10, 1000, 4096, 43690}) {
            for (const double cycles : {0.2, 1.0, 2.0, 6.0, 25.5, 196.62, 300.0, 0.499 * n, 0.7 * n}) {
                const auto coherent = CoherentFrequency::nearest(cycles * Rate / n, Rate, n);
                QVERIFY(coherent);
                const QByteArray where = QByteArray::number(n) + ' ' + QByteArray::number(cycles);
                QVERIFY2(coherent->cycles % 2 == 1 && std::gcd(coherent->cycles, n) == 1, where);
                QVERIFY2(coherent->cycles == bruteForce(std::min(cycles, n / 2.0), n), where);
                QVERIFY(std::fabs(coherent->frequencyHz - coherent->cycles * Rate / n) < 1e-9);
            }
        }
        QVERIFY(!CoherentFrequency::nearest(1000, Rate, 2));
        QVERIFY(!CoherentFrequency::nearest(1000, 0, 4096));
        QCOMPARE(CoherentFrequency::text(1001.4697, QLatin1Char('.')), QStringLiteral("Coherent: 1 001.47 Hz"));
    }
};

QTEST_GUILESS_MAIN(TestLeakageAdvice)
#include "tst_leakageadvice.moc"
