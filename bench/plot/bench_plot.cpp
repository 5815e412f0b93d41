// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of one graph redraw per view, rendered offscreen to a 1200x800 picture:
// the histogram (65 536 bins), the time domain of the largest block (43 690
// points) and the FFT with every mark box checked (NB 51, H 20). The analysis
// results are kept, so each run is what a redraw after a block costs the graph:
// feeding the series, the marks and the titles, laying out and painting.
// The zoom steps scale the X axis of the time domain and the histogram by 0.8
// about one point, eight steps in then eight out, and paint: what one wheel
// notch costs (the analysis is never run again).
#include "Plot.h"
#include "frmPlot.h"
#include "QtBenchmarkMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr int BlockSize = 43690;
const QSize PictureSize(1200, 800);

std::vector<std::int32_t> block()
{
    std::vector<std::int32_t> codes(BlockSize);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0, 40);
    for (int i = 0; i < BlockSize; ++i) {
        const double phase = 2 * std::numbers::pi * 1001.3 * i / 32768;
        codes[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::lround(
            4000000 * std::sin(phase) + 4000 * std::sin(2 * phase) + 400 * std::sin(3 * phase) + noise(random)));
    }
    return codes;
}

void open(frmPlot &window, frmPlot::View view)
{
    const auto codes = block();
    window.setDeviceID(QStringLiteral("KZ7305"));
    window.setNumBits(24);
    window.setLSBSize(2.98023223876953e-07);
    window.setnumPoints(BlockSize);
    window.setSampleFreq(10000);
    window.LoadData(codes);
    window.txtNumBins()->setText(QStringLiteral("51"));
    window.txtNumHarm()->setText(QStringLiteral("20"));
    for (QCheckBox *box : {window.cbDCspect(), window.cbMainLobe(), window.cbHarmonics()})
        box->setChecked(true);
    window.showView(view); // computes once; the runs redraw from the kept results
}

void redrawView(benchmark::State &state, frmPlot::View view)
{
    frmPlot window;
    open(window, view);
    for (auto _ : state) {
        window.UpdatePlot();
        QImage picture = window.plot()->renderImage(PictureSize);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.counters["points"] = window.plot()->pointCount();
}

void BM_RedrawHistogram(benchmark::State &state)
{
    redrawView(state, frmPlot::Histogram);
}
BENCHMARK(BM_RedrawHistogram)->Unit(benchmark::kMillisecond);

void BM_RedrawTimeDomain(benchmark::State &state)
{
    redrawView(state, frmPlot::TimeDomain);
}
BENCHMARK(BM_RedrawTimeDomain)->Unit(benchmark::kMillisecond);

void BM_RedrawFftAllMarks(benchmark::State &state)
{
    redrawView(state, frmPlot::FFTPlot);
}
BENCHMARK(BM_RedrawFftAllMarks)->Unit(benchmark::kMillisecond);

void zoomSteps(benchmark::State &state, frmPlot::View view)
{
    frmPlot window;
    open(window, view);
    Plot &plot = *window.plot();
    const AxisSpan full = plot.xRange();
    const double centre = full.lower + 0.4 * full.size();
    int step = 0;
    for (auto _ : state) {
        const bool in = (step++ / 8) % 2 == 0;
        plot.zoomAbout(Qt::Horizontal, centre, in ? 0.8 : 1.25);
        QImage picture = plot.renderImage(PictureSize);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.counters["points"] = plot.pointCount();
}

void BM_ZoomStepTimeDomain(benchmark::State &state)
{
    zoomSteps(state, frmPlot::TimeDomain);
}
BENCHMARK(BM_ZoomStepTimeDomain)->Unit(benchmark::kMillisecond);

void BM_ZoomStepHistogram(benchmark::State &state)
{
    zoomSteps(state, frmPlot::Histogram);
}
BENCHMARK(BM_ZoomStepHistogram)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks(argc, argv);
}
