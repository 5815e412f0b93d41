// SPDX-License-Identifier: GPL-3.0-or-later
#include "FftWindow.h"
#include "LevelScale.h"
#include "SpectralMetrics.h"
#include "Spectrum.h"
#include "SpectrumAverage.h"
#include "ToneFigures.h"

#include <QTest>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

namespace {

constexpr int Bits = 24;
constexpr double Lsb = 2 * 4.096 / 16777216.0;
constexpr double Rate = 20833;

std::vector<std::int32_t> sine(int n, double bin, double amplitude)
{
    std::vector<std::int32_t> codes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        codes[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>(std::lround(amplitude * std::cos(2 * std::numbers::pi * bin * i / n + 0.3)));
    return codes;
}

std::vector<double> levelsIn(const Spectrum &spectrum, SpectrumUnit unit)
{
    const auto n = static_cast<std::size_t>(spectrum.length());
    return LevelScale::of(spectrum, Rate, Bits, Lsb).convert(spectrum.levels().first(n), unit);
}

// The window's amplitude response half a bin off centre, against its centre:
// the scalloping loss in dB (negative), from the window's values.
double scallopingDb(FftWindow window, int n)
{
    std::complex<double> offCentre;
    double centre = 0;
    for (int i = 0; i < n; ++i) {
        const double w = FftWindows::value(window, i, n);
        offCentre += w * std::polar(1.0, std::numbers::pi * i / n);
        centre += w;
    }
    return 20 * std::log10(std::abs(offCentre) / centre);
}

} // namespace

class TestSpectrumUnits : public QObject
{
    Q_OBJECT

private slots:
    void toneReadsItsLevelWindowCorrected()
    {
        // A full-scale tone (amplitude 2^(B-1)) on bin 100 reads 0 dBFS in
        // every window; half a bin off it reads the scalloping loss lower.
        constexpr int n = 4096;
        const double fullScale = std::ldexp(1.0, Bits - 1);
        for (int w = 0; w < FftWindows::Count; ++w) {
            const FftWindow window = FftWindows::fromIndex(w);
            const QByteArray name = FftWindows::title(window).toUtf8();
            Spectrum spectrum;
            spectrum.compute(sine(n, 100, fullScale), window, false, Bits);
            const std::vector<double> corrected = levelsIn(spectrum, SpectrumUnit::DbfsWindowCorrected);
            QVERIFY2(std::fabs(corrected[100]) <= 0.05, name);

            // It peaks at the tone figures' fundamental level.
            LobeTables tables;
            const int nb = 17;
            const SpectralMetrics metrics = SpectralMetrics::compute(spectrum.bins().first(n), nb, 10, tables);
            const ToneFigures tone = ToneFigures::compute(metrics, spectrum, nb, Bits);
            QVERIFY2(std::fabs(corrected[100] - *tone.fundamentalDbfs) <= 0.05, name);

            // The absolute units ignore the 0-dB reference: normalize changes nothing.
            Spectrum normalized;
            normalized.compute(sine(n, 100, fullScale), window, true, Bits);
            for (const SpectrumUnit unit : {SpectrumUnit::DbfsWindowCorrected, SpectrumUnit::DbfsPerHz,
                                            SpectrumUnit::NanovoltsPerRootHz}) {
                const std::vector<double> plain = levelsIn(spectrum, unit);
                const std::vector<double> fromNormalized = levelsIn(normalized, unit);
                for (const int bin : {3, 100, 1000})
                    QVERIFY(std::fabs(fromNormalized[bin] / plain[bin] - 1) < 1e-9);
            }

            spectrum.compute(sine(n, 100.5, fullScale), window, false, Bits);
            const std::vector<double> between = levelsIn(spectrum, SpectrumUnit::DbfsWindowCorrected);
            QVERIFY2(std::fabs(between[100] - scallopingDb(window, n)) <= 0.05, name);
        }
    }

    void whiteNoiseReadsItsDensity()
    {
        // Truth from the generating sigma: s LSB / sqrt(fs / 2) one-sided,
        // and 2 s^2 / fs against a full-scale sine's power 2^(2B-2) / 2.
        constexpr double sigma = 300;
        const double truthNv = sigma * Lsb / std::sqrt(Rate / 2) * 1e9;
        const double truthDbfsPerHz = 10 * std::log10(2 * sigma * sigma / Rate / (std::ldexp(1.0, 2 * Bits - 2) / 2));
        std::mt19937 random(11);
        std::normal_distribution<double> gauss(0.0, sigma);
        std::vector<std::int32_t> codes(32768);
        for (std::int32_t &code : codes)
            code = static_cast<std::int32_t>(std::lround(gauss(random)));

        for (const int n : {16384, 32768}) {
            for (int w = 0; w < FftWindows::Count; ++w) {
                const FftWindow window = FftWindows::fromIndex(w);
                const QByteArray name = FftWindows::title(window).toUtf8() + ' ' + QByteArray::number(n);
                Spectrum spectrum;
                spectrum.compute(std::span(codes).first(static_cast<std::size_t>(n)), window, false, Bits);
                const std::vector<double> dbfsPerHz = levelsIn(spectrum, SpectrumUnit::DbfsPerHz);
                const std::vector<double> nv = levelsIn(spectrum, SpectrumUnit::NanovoltsPerRootHz);
                // Mean power over the bins clear of DC's lobe.
                double dbfsPower = 0;
                double nvPower = 0;
                const int first = 10;
                for (int b = first; b < n / 2; ++b) {
                    dbfsPower += std::pow(10.0, dbfsPerHz[b] / 10);
                    nvPower += nv[b] * nv[b];
                }
                const int count = n / 2 - first;
                QVERIFY2(std::fabs(10 * std::log10(dbfsPower / count) - truthDbfsPerHz) <= 0.3, name);
                QVERIFY2(std::fabs(10 * std::log10(nvPower / count / (truthNv * truthNv))) <= 0.3, name);

                // An average of the block alone reads as the block.
                SpectrumAverage average;
                average.add({n, Rate, Bits, Lsb, window, true}, spectrum.bins().first(static_cast<std::size_t>(n)));
                const std::vector<double> averaged =
                    LevelScale::of(average).convert(average.levels(), SpectrumUnit::NanovoltsPerRootHz);
                for (const int bin : {first, n / 4, n / 2 - 1})
                    QVERIFY(std::fabs(averaged[bin] / nv[bin] - 1) < 1e-9);
            }
        }
    }

    void unitsNeedTheirScale()
    {
        Spectrum spectrum;
        spectrum.compute(sine(256, 10, 1000), FftWindow::Hanning, false, Bits);
        const auto n = static_cast<std::size_t>(spectrum.length());
        QVERIFY(LevelScale::of(spectrum, Rate, Bits, 0).convert(spectrum.levels().first(n),
                                                               SpectrumUnit::NanovoltsPerRootHz).empty());
        QVERIFY(!LevelScale::of(spectrum, 0, Bits, Lsb).offsetDb(SpectrumUnit::DbfsPerHz));
        QCOMPARE(*LevelScale::of(spectrum, 0, Bits, 0).offsetDb(SpectrumUnit::DbFullScale), 0.0);
        for (int u = 0; u < SpectrumUnits::Count; ++u) {
            const SpectrumUnit unit = SpectrumUnits::fromIndex(u);
            QCOMPARE(SpectrumUnits::fromCliName(SpectrumUnits::cliName(unit)), unit);
        }
        QVERIFY(!SpectrumUnits::fromCliName(u"DB"));
    }
};

QTEST_GUILESS_MAIN(TestSpectrumUnits)
#include "tst_spectrumunits.moc"
