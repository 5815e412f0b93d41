// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewGraph.h"

#include "AppState.h"
#include "GraphTexts.h"
#include "NumberFormat.h"
#include "Plot.h"

#include <algorithm>
#include <vector>

namespace {

constexpr auto FftFiguresStart = ",     SNR:";

void feedTimeDomain(const PlotDocument &document, Plot &plot)
{
    const std::span<const std::int32_t> samples = document.samples();
    const SampleBlock &block = document.block();
    const std::optional<DataFormat> format = document.dataFormat();
    std::vector<float> x(samples.size()), y(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        x[i] = static_cast<float>(i + 1);
        const double code = samples[i];
        // Every point in the same unit: the whole trace follows the data format.
        if (format == DataFormat::PercentOfFullScale)
            y[i] = static_cast<float>(CodeText::percentValue(code, block.numBits));
        else if (format == DataFormat::ScaledByLsb)
            y[i] = static_cast<float>(code * block.lsbSize);
        else
            y[i] = static_cast<float>(code);
    }
    plot.setXAxisLabel(QLatin1String(GraphTexts::TimeXLabel));
    plot.setYAxisLabel(QLatin1String(GraphTexts::TimeYLabel));
    plot.setSeriesData(x, y, static_cast<int>(samples.size()));
}

void feedFft(const PlotDocument &document, Plot &plot)
{
    for (const FftMarks::Mark &mark : document.fftMarks())
        plot.setAnnotation(mark.index, {mark.x, mark.y, mark.color, Plot::SymbolMark, mark.text});
    const int n = document.spectrum().length();
    const double sampleFreq = document.block().sampleFreq;
    const auto count = static_cast<std::size_t>(n / 2);
    const std::span<const double> levels = document.fftLevels();
    std::vector<float> x(count), y(count);
    for (std::size_t i = 0; i < count; ++i) {
        x[i] = static_cast<float>(static_cast<double>(i) * sampleFreq / n);
        y[i] = static_cast<float>(levels[i]);
    }
    plot.setXAxisLabel(GraphTexts::fftXLabel(sampleFreq, n, NumberFormat::screenSeparator()));
    plot.setYAxisLabel(QLatin1String(GraphTexts::FftYLabel));
    plot.setSubTitle(GraphTexts::fftSubtitle(document.fftOptions().window, n));
    plot.setSeriesData(x, y, static_cast<int>(count));
}

void feedHistogram(const PlotDocument &document, Plot &plot)
{
    const Histogram &histogram = document.histogram();
    // The entry beyond the last bin is drawn too when the maximum falls there.
    const auto count = static_cast<std::size_t>(std::max(Histogram::BinCount, histogram.binsInUse()));
    const std::span<const double> counts = histogram.counts();
    std::vector<float> x(count), y(count);
    for (std::size_t i = 0; i < count; ++i) {
        x[i] = static_cast<float>(histogram.binCentre(static_cast<int>(i)));
        y[i] = static_cast<float>(counts[i]);
    }
    plot.setXAxisLabel(histogram.axisLabel(NumberFormat::screenSeparator()));
    plot.setYAxisLabel(QLatin1String(GraphTexts::HistogramYLabel));
    plot.setSeriesData(x, y, static_cast<int>(count));
    // One bin wider than the codes, so that the bin holding the maximum is drawn.
    plot.setManualXRange(true, histogram.minimum(), histogram.maximum() + histogram.binWidth());
    plot.setBinWidth(histogram.binWidth() * 1.05);
}

} // namespace

ViewGraph::Style ViewGraph::defaultStyle(PlotDocument::View view)
{
    return view == PlotDocument::Histogram ? Style{Plot::Steps, 0, 1} : Style{};
}

void ViewGraph::draw(const PlotDocument &document, Plot &plot, const Style &style)
{
    const QString deviceId = document.block().deviceId;
    plot.clearAnnotations();
    plot.setMainTitle(deviceId == QLatin1String(SampleBlock::UnspecifiedDevice) ? QString() : deviceId);
    plot.setSubTitle(QString());
    plot.setManualXRange(false);
    if (AppState::DataReady() && document.view() != PlotDocument::DataList) {
        plot.setPlottingMethod(style.method);
        plot.setPointType(style.pointType);
        plot.setLineType(style.lineType);
        switch (document.view()) {
        case PlotDocument::TimeDomain:
            feedTimeDomain(document, plot);
            break;
        case PlotDocument::FFTPlot:
            feedFft(document, plot);
            break;
        case PlotDocument::Histogram:
            feedHistogram(document, plot);
            break;
        case PlotDocument::DataList:
            break;
        }
    }
    plot.redraw();
}

void ViewGraph::addPrintFigures(const PlotDocument &document, Plot &plot)
{
    const QChar sep = NumberFormat::screenSeparator();
    if (document.view() == PlotDocument::TimeDomain) {
        plot.setSubTitle(GraphTexts::timeFigures(document.statistics(), sep));
    } else if (document.view() == PlotDocument::FFTPlot) {
        const QString subtitle = plot.subTitle();
        const qsizetype earlier = subtitle.indexOf(QLatin1String(FftFiguresStart));
        plot.setSubTitle((earlier < 0 ? subtitle : subtitle.left(earlier)) +
                         GraphTexts::fftFigures(document.metrics(), sep));
    }
    plot.redraw();
}
