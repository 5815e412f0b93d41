// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the plot window's analysis on the largest block (43 690 samples,
// FFT length 32 768), with FFTW's transform of the same length as reference.
// The program's FFT-view pass runs twice: before the GUI starts and after, with
// the AVX upper halves put in use before each pass as a drawing leaves them.
// Ends with the ratios: GUI-started / bare, transform / FFTW, and the pass
// with / without a progress bar.
#include "AcquisitionControl.h"
#include "AcquisitionPanel.h"
#include "DataList.h"
#include "Histogram.h"
#include "NoiseFigures.h"
#include "PlotDocument.h"
#include "RadixTwoFft.h"
#include "SineFitFigures.h"
#include "SpectralMetrics.h"
#include "Spectrum.h"
#include "SpectrumAverage.h"
#include "TimeStatistics.h"
#include "VectorState.h"
#include "frmPlot.h"
#include "QtBenchmarkMain.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <iostream>
#include <map>
#include <numbers>
#include <random>

namespace {

constexpr int BlockSize = 43690;
constexpr int Length = 32768;

// A 24-bit block: tone, two harmonics and noise.
const std::vector<std::int32_t> &block()
{
    static const std::vector<std::int32_t> codes = [] {
        std::vector<std::int32_t> v(BlockSize);
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0, 40);
        for (int i = 0; i < BlockSize; ++i) {
            const double phase = 2 * std::numbers::pi * 1001.3 * i / Length;
            v[i] = static_cast<std::int32_t>(std::lround(
                4000000 * std::sin(phase) + 4000 * std::sin(2 * phase) + 400 * std::sin(3 * phase) + noise(random)));
        }
        return v;
    }();
    return codes;
}

std::vector<std::complex<double>> randomPoints()
{
    std::vector<std::complex<double>> points(Length);
    std::mt19937 random(2);
    std::uniform_real_distribution<double> value(-1, 1);
    for (auto &p : points)
        p = {value(random), value(random)};
    return points;
}

void BM_FftViewAnalysis(benchmark::State &state)
{
    const auto window = FftWindows::fromIndex(static_cast<int>(state.range(0)));
    Spectrum spectrum;
    LobeTables tables;
    clearUpperVectorState(); // as the program's pass starts
    for (auto _ : state) {
        spectrum.compute(block(), window, false, 24);
        const auto metrics = SpectralMetrics::compute(spectrum.bins().first(Length), 11, 10, tables);
        benchmark::DoNotOptimize(metrics);
    }
    state.SetLabel(FftWindows::title(window).toStdString());
}
BENCHMARK(BM_FftViewAnalysis)->DenseRange(0, FftWindows::Count - 1)->Unit(benchmark::kMicrosecond);

// The program's FFT-view pass (PlotDocument: window, transform, dB, metrics,
// tone figures) with the window table kept (0) or computed afresh, the window
// kind changing between Hamming and Blackman-Harris at every pass (1). Once the
// GUI has started, each pass follows a drawing's vector state.
void BM_FftViewPass(benchmark::State &state)
{
    const bool guiStarted = QCoreApplication::instance() != nullptr;
    PlotDocument document;
    document.setNumBits(24);
    document.setLSBSize(0.3e-6);
    document.setSampleFreq(1000);
    document.setnumPoints(BlockSize);
    document.LoadData(block());
    document.setView(PlotDocument::FFTPlot);
    PlotDocument::FftOptions options;
    options.window = FftWindow::BlackmanHarris;
    for (auto _ : state) {
        if (state.range(0) == 1)
            options.window = options.window == FftWindow::Hamming ? FftWindow::BlackmanHarris : FftWindow::Hamming;
        document.setFftOptions(options);
        document.invalidate();
        if (guiStarted)
            dirtyUpperVectorState();
        document.runAnalysisPass();
        benchmark::DoNotOptimize(document.metrics());
    }
    state.SetLabel(state.range(0) == 0 ? "window table kept" : "window table computed");
}
BENCHMARK(BM_FftViewPass)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The four-parameter sine fit of the whole block (the FFT that finds its
// start aside), in a process that runs the GUI.
void BM_SineFit(benchmark::State &state)
{
    Spectrum spectrum;
    spectrum.compute(block(), FftWindow::BlackmanHarris7, false, 24);
    LobeTables tables;
    const auto metrics = SpectralMetrics::compute(spectrum.bins().first(Length), 17, 10, tables);
    for (auto _ : state) {
        const auto fit = SineFitFigures::compute(block(), spectrum, metrics.fundamental, 20833, 24, 0.3e-6);
        if (!fit.sinadDb)
            state.SkipWithError("the fit did not converge");
        benchmark::DoNotOptimize(fit);
    }
}
BENCHMARK(BM_SineFit)->Unit(benchmark::kMillisecond);

// What a new window kind or length costs once before it is kept.
// One block more in an average of K spectra of the largest length: the mean
// of K blocks' powers is summed afresh, so the cost grows with K. The kept
// powers take K x (n/2 + 1) x 8 bytes (K = 1000: 131 MB).
void BM_AverageOneMoreBlock(benchmark::State &state)
{
    Spectrum spectrum;
    spectrum.compute(block(), FftWindow::BlackmanHarris, false, 24);
    const SpectrumAverage::Shape shape{Length, 1000, 24, 0.3e-6, FftWindow::BlackmanHarris, false};
    SpectrumAverage average(static_cast<int>(state.range(0)));
    while (average.count() < average.depth())
        average.add(shape, spectrum.bins().first(Length));
    for (auto _ : state) {
        average.add(shape, spectrum.bins().first(Length));
        benchmark::DoNotOptimize(average.levels().data());
    }
    state.counters["kept MB"] = double(average.count()) * (Length / 2 + 1) * sizeof(double) / 1e6;
}
BENCHMARK(BM_AverageOneMoreBlock)->Arg(16)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_WindowTable(benchmark::State &state)
{
    const auto window = FftWindows::fromIndex(static_cast<int>(state.range(0)));
    std::vector<double> values(Length);
    clearUpperVectorState(); // as the program's pass starts
    for (auto _ : state) {
        for (int i = 0; i < Length; ++i)
            values[i] = FftWindows::value(window, i, Length);
        benchmark::DoNotOptimize(values.data());
    }
    state.SetLabel(FftWindows::title(window).toStdString());
}
BENCHMARK(BM_WindowTable)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_Transform(benchmark::State &state)
{
    const auto input = randomPoints();
    auto points = input;
    RadixTwoFft fft;
    for (auto _ : state) {
        state.PauseTiming();
        points = input;
        state.ResumeTiming();
        fft.transform(points);
        benchmark::DoNotOptimize(points.data());
    }
}
BENCHMARK(BM_Transform)->Unit(benchmark::kMicrosecond);

void BM_TransformFftw(benchmark::State &state)
{
    const auto input = randomPoints();
    auto *data = fftw_alloc_complex(Length);
    fftw_plan plan = fftw_plan_dft_1d(Length, data, data, FFTW_FORWARD, FFTW_MEASURE);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(data, input.data(), sizeof(fftw_complex) * Length);
        state.ResumeTiming();
        fftw_execute(plan);
        benchmark::DoNotOptimize(data);
    }
    fftw_destroy_plan(plan);
    fftw_free(data);
}
BENCHMARK(BM_TransformFftw)->Unit(benchmark::kMicrosecond);

void BM_Histogram(benchmark::State &state)
{
    Histogram histogram;
    for (auto _ : state) {
        histogram.compute(block());
        benchmark::DoNotOptimize(histogram.counts().data());
    }
}
BENCHMARK(BM_Histogram)->Unit(benchmark::kMicrosecond);

void BM_TimeStatistics(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TimeStatistics::compute(block(), 24));
}
BENCHMARK(BM_TimeStatistics)->Unit(benchmark::kMicrosecond);

// What the noise figures add to the time-domain view's pass.
void BM_NoiseFigures(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(NoiseFigures::compute(block(), 24, 5.0 / 16777216.0));
}
BENCHMARK(BM_NoiseFigures)->Unit(benchmark::kMicrosecond);

void BM_DataListLines(benchmark::State &state)
{
    const auto format = static_cast<DataFormat>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(DataList::lines(block(), format, CodeScale{24, 0.3e-6}, QLatin1Char('.')));
}
BENCHMARK(BM_DataListLines)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// A shown plot window with the block loaded.
struct ShownPlot {
    frmPlot plot;
    ShownPlot()
    {
        plot.setNumBits(24);
        plot.setLSBSize(0.3e-6);
        plot.setSampleFreq(1000);
        plot.setnumPoints(BlockSize);
        plot.LoadData(block());
        plot.resize(900, 600);
        plot.show();
        QApplication::processEvents();
    }
};

// Filling the list in the plot window, its delayed layout and paint included.
void BM_DataListFill(benchmark::State &state)
{
    ShownPlot shown;
    shown.plot.showView(frmPlot::DataList);
    QApplication::processEvents();
    for (auto _ : state) {
        shown.plot.setnumPoints(BlockSize);
        shown.plot.UpdatePlot();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_DataListFill)->Unit(benchmark::kMillisecond);

// The FFT view's UpdatePlot of a changed block: without a CalcStatus handler
// (0), with one that hands every progress point to a shown progress bar (1),
// and with the program's own handler on its shown acquisition panel (2).
void BM_FftViewUpdatePlot(benchmark::State &state)
{
    ShownPlot shown;
    frmPlot &plot = shown.plot;
    QProgressBar bar;
    AcquisitionPanel panel;
    QLabel field1, field2;
    AcquisitionControl control(panel, field1, field2, [&plot] { return &plot; });
    if (state.range(0) == 1) {
        bar.show();
        QObject::connect(&plot, &frmPlot::CalcStatus, &bar, [&] {
            bar.setMaximum(std::max(1, plot.CalcMax()));
            bar.setValue(plot.CalcProgress());
        });
    } else if (state.range(0) == 2) {
        panel.show();
        QObject::connect(&plot, &frmPlot::CalcStatus, &control, [&] { control.mfrmPlot_CalcStatus(plot); });
    }
    QApplication::processEvents();
    plot.showView(frmPlot::FFTPlot);
    for (auto _ : state) {
        plot.setnumPoints(BlockSize);
        plot.UpdatePlot();
    }
    const char *labels[] = {"no handler", "progress bar, every point", "the program's progress handler"};
    state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(BM_FftViewUpdatePlot)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// Whether a raster fill, the drawing that leaves the upper halves in use with
// Qt's AVX2 code, does so on this machine and this Qt.
const char *fillLeavesUpperHalvesInUse()
{
    clearUpperVectorState();
    QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    const auto inUse = upperVectorStateInUse();
    clearUpperVectorState();
    return !inUse ? "cannot tell on this CPU" : *inUse ? "yes" : "no";
}

// Console output as usual, then the ratios (of CPU times, so that other load
// on the machine does not skew them) of the runs named below.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    // Runs made before the GUI starts are kept under "bare/" and their name.
    void setBeforeGui(bool before) { m_prefix = before ? "bare/" : ""; }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            m_seconds[m_prefix + run.benchmark_name()] =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (!m_prefix.empty())
            return;
        std::cout << "a QImage fill leaves the AVX upper halves in use: " << fillLeavesUpperHalvesInUse() << '\n';
        ratio("FFT-view pass, GUI-started / bare, window table kept", "BM_FftViewPass/0", "bare/BM_FftViewPass/0");
        ratio("FFT-view pass, GUI-started / bare, window table computed", "BM_FftViewPass/1",
              "bare/BM_FftViewPass/1");
        ratio("FFT-view pass (GUI-started, table kept) / FFTW transform", "BM_FftViewPass/0", "BM_TransformFftw");
        ratio("transform / FFTW (n = 32768)", "BM_Transform", "BM_TransformFftw");
        ratio("FFT-view UpdatePlot, bar moved at every point / no handler", "BM_FftViewUpdatePlot/1",
              "BM_FftViewUpdatePlot/0");
        ratio("FFT-view UpdatePlot, the program's progress handler / no handler", "BM_FftViewUpdatePlot/2",
              "BM_FftViewUpdatePlot/0");
        ratio("noise figures / time statistics", "BM_NoiseFigures", "BM_TimeStatistics");
        ratio("one more block in an average of 1000 / FFT-view analysis (Blackman-Harris)",
              "BM_AverageOneMoreBlock/1000", "BM_FftViewAnalysis/4");
        ratio("sine fit of 43 690 samples / FFT-view analysis (seven-term)", "BM_SineFit", "BM_FftViewAnalysis/7");
        const auto fit = m_seconds.find("BM_SineFit");
        if (fit != m_seconds.end())
            std::cout << "figure sine fit of 43 690 samples: " << fit->second * 1e3 << " ms CPU (goal under 20 ms)\n";
    }

private:
    void ratio(const char *what, const std::string &numerator, const std::string &denominator)
    {
        const auto a = m_seconds.find(numerator);
        const auto b = m_seconds.find(denominator);
        if (a != m_seconds.end() && b != m_seconds.end() && b->second > 0)
            std::cout << "ratio " << what << ": " << a->second / b->second << '\n';
    }

    std::map<std::string, double> m_seconds;
    std::string m_prefix;
};

} // namespace

int main(int argc, char **argv)
{
    RatioReporter reporter;
    return runQtBenchmarks(argc, argv, &reporter, [&reporter] {
        reporter.setBeforeGui(true);
        benchmark::RunSpecifiedBenchmarks(&reporter, "BM_FftViewPass");
        reporter.setBeforeGui(false);
    });
}
