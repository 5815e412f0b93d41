// SPDX-License-Identifier: GPL-3.0-or-later
// The FFT view's figures with the seven-term window and Auto signal bins,
// against the truth of synthetic 24-bit blocks: a tone with harmonics and
// white Gaussian noise, every figure's truth computed here from the
// generating parameters and the generated noise.
#include "../analysis/ReferenceFft.h"

#include "PlotDocument.h"

#include <QTest>
#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr double Rate = 20833;
constexpr int Bits = 24;
constexpr int Harmonics = 10; // H as the analysis uses it
constexpr int SignalBins = 17; // the seven-term window's main lobe and a bin each side
constexpr double Pi = std::numbers::pi;

// The seven-term window, from its published coefficients.
std::vector<double> sevenTermWindow(int n)
{
    static constexpr double a[] = {0.27105140069342, 0.43329793923448, 0.21812299954311, 0.06592544638803,
                                   0.01081174209837, 0.00077658482522, 0.00001388721735};
    std::vector<double> w(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < 7; ++j)
            w[static_cast<std::size_t>(i)] += (j % 2 == 0 ? 1 : -1) * a[j] * std::cos(2 * Pi * j * i / n);
    return w;
}

double db(double powerRatio)
{
    return 10 * std::log10(powerRatio);
}

struct Block {
    std::vector<std::int32_t> codes;
    std::vector<double> noise;      // codes less the ideal tone and harmonics
    std::vector<double> ideal;
    double amplitude = 0;           // codes
    double cyclesPerFft = 0;        // tone cycles in the FFT's record
    std::vector<double> harmonicAmplitudes; // of harmonics 2, 3, 4
    int fftLength = 0;
};

// A tone at amplitudeDbfs between 40 and n/(2H) cycles of the FFT record, at
// least 0.2 bin from a bin centre, harmonics 2 to 4 at -80 to -130 dBc, and
// Gaussian noise of noiseRms codes, rounded to codes.
Block generate(int length, double amplitudeDbfs, double noiseRms, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::normal_distribution<double> gauss(0, noiseRms);
    Block b;
    b.fftLength = 1 << static_cast<int>(std::floor(std::log2(std::min(length, 32768))));
    b.amplitude = std::ldexp(1.0, Bits - 1) * std::pow(10.0, amplitudeDbfs / 20);
    const double highestCycles = b.fftLength / (2.0 * Harmonics);
    b.cyclesPerFft = std::floor(40 + (highestCycles - 41) * unit(random)) + 0.2 + 0.6 * unit(random);
    const double phase = 2 * Pi * unit(random);
    std::vector<double> harmonicPhases;
    for (int h = 2; h <= 4; ++h) {
        b.harmonicAmplitudes.push_back(b.amplitude * std::pow(10.0, (-80 - 50 * unit(random)) / 20));
        harmonicPhases.push_back(2 * Pi * unit(random));
    }
    for (int i = 0; i < length; ++i) {
        const double angle = 2 * Pi * b.cyclesPerFft * i / b.fftLength + phase;
        double ideal = b.amplitude * std::sin(angle);
        for (int h = 2; h <= 4; ++h)
            ideal += b.harmonicAmplitudes[h - 2] * std::sin(h * angle + harmonicPhases[h - 2]);
        const auto code = static_cast<std::int32_t>(std::lround(ideal + gauss(random)));
        b.codes.push_back(code);
        b.ideal.push_back(ideal);
        b.noise.push_back(code - ideal);
    }
    return b;
}

// |DFT|^2 / n^2 of x w at bin k, written out.
double binPower(const std::vector<double> &x, const std::vector<double> &w, int k)
{
    std::complex<double> sum;
    const int n = static_cast<int>(w.size());
    for (int i = 0; i < n; ++i)
        sum += x[static_cast<std::size_t>(i)] * w[static_cast<std::size_t>(i)] * std::polar(1.0, -2 * Pi * k * i / n);
    return std::norm(sum) / (double(n) * n);
}

} // namespace

class TestFiguresGrid : public QObject
{
    Q_OBJECT

private slots:
    void figuresAgainstTruth()
    {
        int cases = 0;
        int thdChecked = 0;
        int sfdrChecked = 0;
        for (const int length : {4096, 16384, 43690}) {
            for (const double dbfs : {-1.0, -8.0, -20.0}) {
                for (const double noiseRms : {1.0, 30.0, 1000.0}) {
                    const unsigned seed = static_cast<unsigned>(++cases);
                    const QString context = QStringLiteral("n %1, %2 dBFS, noise %3 codes, seed %4")
                                                .arg(length).arg(dbfs).arg(noiseRms).arg(seed);
                    const Block b = generate(length, dbfs, noiseRms, seed);
                    const int n = b.fftLength;
                    const std::vector<double> w = sevenTermWindow(n);

                    // The noise as the FFT sees it, and as the sine fit sees it.
                    double weighted = 0;
                    double windowSquares = 0;
                    for (int i = 0; i < n; ++i) {
                        weighted += std::pow(b.noise[i] * w[i], 2);
                        windowSquares += w[i] * w[i];
                    }
                    const double fftNoise = weighted / windowSquares;
                    double fitNoise = 0;
                    for (double e : b.noise)
                        fitNoise += e * e / static_cast<double>(b.noise.size());
                    const double tonePower = b.amplitude * b.amplitude / 2;
                    double harmonicPower = 0;
                    double largestHarmonic = 0;
                    for (double a : b.harmonicAmplitudes) {
                        harmonicPower += a * a / 2;
                        largestHarmonic = std::max(largestHarmonic, a);
                    }
                    const double sinad = db(tonePower / (fftNoise + harmonicPower));

                    SampleBlock block;
                    block.numBits = Bits;
                    block.lsbSize = 5.0 / std::ldexp(1.0, Bits);
                    block.sampleFreq = Rate;
                    block.samples = b.codes;
                    PlotDocument document;
                    document.setBlock(block);
                    PlotDocument::FftOptions options;
                    options.window = FftWindow::BlackmanHarris7;
                    options.autoBins = true;
                    document.setFftOptions(options);
                    document.setView(PlotDocument::FFTPlot);
                    document.runAnalysisPass();
                    const SpectralMetrics &m = document.metrics();
                    const ToneFigures &tone = document.toneFigures();
                    QCOMPARE(document.signalBins(), SignalBins);

                    auto near = [&](double measured, double truth, double tolerance, const char *what) {
                        QVERIFY2(std::fabs(measured - truth) <= tolerance,
                                 qPrintable(QStringLiteral("%1: %2 %3, truth %4").arg(context, QLatin1String(what))
                                                .arg(measured).arg(truth)));
                    };
                    near(m.snr, db(tonePower / fftNoise), 0.5, "SNR");
                    near(m.sinad, sinad, 0.5, "SINAD");
                    QVERIFY2(tone.enob, qPrintable(context));
                    near(*tone.enob, (sinad - 1.76) / 6.02, 0.1, "ENOB");
                    QVERIFY2(tone.noiseDensity.dbfsPerHz && tone.noiseDensity.nvPerRtHz, qPrintable(context));
                    const double density = 2 * fftNoise / Rate;
                    near(*tone.noiseDensity.dbfsPerHz, db(density / (std::ldexp(1.0, 2 * Bits - 2) / 2)), 0.3,
                         "noise density (dBFS/Hz)");
                    near(db(std::pow(*tone.noiseDensity.nvPerRtHz, 2)), db(density * std::pow(block.lsbSize * 1e9, 2)),
                         0.3, "noise density (nV/rtHz)");

                    // THD where the harmonics stand 20 dB above the noise in their bins.
                    const double harmonicLobeNoise = 3 * SignalBins * fftNoise / n;
                    if (harmonicPower / 2 >= 100 * harmonicLobeNoise) {
                        near(m.thd, db(harmonicPower / tonePower), 1.0, "THD");
                        ++thdChecked;
                    }
                    // SFDR where the largest harmonic peak stands 20 dB above
                    // the largest noise bin (both from their own spectra).
                    std::vector<std::complex<double>> noiseBins(static_cast<std::size_t>(n));
                    for (int i = 0; i < n; ++i)
                        noiseBins[i] = b.noise[i] * w[i];
                    noiseBins = referenceFft(noiseBins);
                    double largestNoiseBin = 0;
                    for (int k = (SignalBins + 1) / 2; k < n / 2; ++k)
                        largestNoiseBin = std::max(largestNoiseBin, std::norm(noiseBins[k]) / (double(n) * n));
                    std::vector<double> strongest(static_cast<std::size_t>(n));
                    const int h = static_cast<int>(std::max_element(b.harmonicAmplitudes.begin(), b.harmonicAmplitudes.end())
                                                   - b.harmonicAmplitudes.begin()) + 2;
                    for (int i = 0; i < n; ++i)
                        strongest[i] = largestHarmonic * std::sin(h * 2 * Pi * b.cyclesPerFft * i / n);
                    const double centre = h * b.cyclesPerFft;
                    const double peak = std::max(binPower(strongest, w, static_cast<int>(std::floor(centre))),
                                                 binPower(strongest, w, static_cast<int>(std::ceil(centre))));
                    if (peak >= 100 * largestNoiseBin) {
                        near(m.sfdr, db(tonePower / (largestHarmonic * largestHarmonic / 2)), 1.0, "SFDR");
                        ++sfdrChecked;
                    }

                    // The sine fit, of every sample.
                    const SineFitFigures &fit = tone.sineFit;
                    QVERIFY2(fit.sinadDb && fit.amplitudeDbfs && fit.frequencyHz, qPrintable(context));
                    near(*fit.sinadDb, db(tonePower / (fitNoise + harmonicPower)), 0.2, "sine-fit SINAD");
                    near(*fit.amplitudeDbfs, dbfs, 0.02, "sine-fit amplitude");
                    const double frequency = b.cyclesPerFft * Rate / n;
                    near(*fit.frequencyHz / frequency, 1.0, 1e-6, "sine-fit frequency");
                }
            }
        }
        // The conditions hold often enough for the checks to mean something.
        QVERIFY2(thdChecked >= 5 && sfdrChecked >= 5, qPrintable(QStringLiteral("THD %1, SFDR %2 of %3")
                                                                      .arg(thdChecked).arg(sfdrChecked).arg(cases)));
    }
};

QTEST_GUILESS_MAIN(TestFiguresGrid)
#include "tst_figuresgrid.moc"
