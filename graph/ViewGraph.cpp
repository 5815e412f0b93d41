// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewGraph.h"

#include "AppState.h"
#include "GraphTexts.h"
#include "NoiseTexts.h"
#include "NumberFormat.h"
#include "Plot.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr auto FftFiguresStart = ",     SNR:";
constexpr auto TimeSecondsXLabel = "Time (s)";

QString timeYUnit(std::optional<DataFormat> format)
{
    if (format == DataFormat::PercentOfFullScale)
        return QStringLiteral("%");
    if (format == DataFormat::ScaledByLsb)
        return QStringLiteral("V");
    return QStringLiteral("codes");
}

void feedTimeDomain(const PlotDocument &document, Plot &plot, ViewGraph::TimeAxis timeAxis)
{
    const std::span<const std::int32_t> samples = document.samples();
    const SampleBlock &block = document.block();
    const std::optional<DataFormat> format = document.dataFormat();
    // Without a rate there are no seconds to show.
    const bool seconds = timeAxis == ViewGraph::TimeAxis::Seconds && block.sampleFreq > 0;
    std::vector<float> x(samples.size()), y(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        x[i] = static_cast<float>(seconds ? static_cast<double>(i) / block.sampleFreq : static_cast<double>(i + 1));
        const double code = samples[i];
        // Every point in the same unit: the whole trace follows the data format.
        if (format == DataFormat::PercentOfFullScale)
            y[i] = static_cast<float>(CodeText::percentValue(code, block.numBits));
        else if (format == DataFormat::ScaledByLsb)
            y[i] = static_cast<float>(code * block.lsbSize);
        else
            y[i] = static_cast<float>(code);
    }
    plot.setXAxisLabel(QLatin1String(seconds ? TimeSecondsXLabel : GraphTexts::TimeXLabel));
    plot.setYAxisLabel(QLatin1String(GraphTexts::TimeYLabel));
    plot.setSeriesData(x, y, static_cast<int>(samples.size()));
    plot.setAxisUnits(seconds ? QStringLiteral("s") : QStringLiteral("samples"), timeYUnit(format));
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
    plot.setAxisUnits(QStringLiteral("Hz"), QStringLiteral("dB"));
}

// The normal density of the block's mean and sigma, scaled to the counts of
// bins of the histogram's width, across the histogram's range.
void feedNormalCurve(const PlotDocument &document, Plot &plot)
{
    const NoiseFigures &noise = document.noiseFigures();
    if (!noise.meanCodes || !noise.rmsNoiseCodes || *noise.rmsNoiseCodes <= 0)
        return;
    const double mean = *noise.meanCodes;
    const double sigma = *noise.rmsNoiseCodes;
    const Histogram &histogram = document.histogram();
    const double scale = static_cast<double>(document.samples().size()) * histogram.binWidth() /
                         (sigma * std::sqrt(2 * std::numbers::pi));
    // The codes are whole numbers: with bins of one code the range ends a code on.
    const double low = std::min(histogram.minimum(), mean - 4 * sigma);
    const double high = std::max(histogram.maximum() + histogram.binWidth(), mean + 4 * sigma);
    constexpr int Points = 401;
    std::vector<double> x(Points), y(Points);
    for (int i = 0; i < Points; ++i) {
        const double code = low + (high - low) * i / (Points - 1);
        const double z = (code - mean) / sigma;
        // A bin is drawn half a code right of the whole codes it counts.
        x[static_cast<std::size_t>(i)] = code + 0.5;
        y[static_cast<std::size_t>(i)] = scale * std::exp(-z * z / 2);
    }
    plot.setOverlayData(x, y);
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
    plot.setAxisUnits(QStringLiteral("codes"), QStringLiteral("counts"));
    // One bin wider than the codes, so that the bin holding the maximum is drawn.
    plot.setManualXRange(true, histogram.minimum(), histogram.maximum() + histogram.binWidth());
    plot.setBinWidth(histogram.binWidth() * 1.05);
    if (document.normalCurve())
        feedNormalCurve(document, plot);
}

} // namespace

ViewGraph::Style ViewGraph::defaultStyle(PlotDocument::View view)
{
    return view == PlotDocument::Histogram ? Style{Plot::Steps, 0, 1} : Style{};
}

void ViewGraph::draw(const PlotDocument &document, Plot &plot, const Style &style, TimeAxis timeAxis)
{
    const QString deviceId = document.block().deviceId;
    plot.clearAnnotations();
    plot.setMainTitle(deviceId == QLatin1String(SampleBlock::UnspecifiedDevice) ? QString() : deviceId);
    plot.setSubTitle(QString());
    plot.setManualXRange(false);
    plot.setOverlayData({}, {});
    if (AppState::DataReady() && document.view() != PlotDocument::DataList) {
        plot.setPlottingMethod(style.method);
        plot.setPointType(style.pointType);
        plot.setLineType(style.lineType);
        switch (document.view()) {
        case PlotDocument::TimeDomain:
            feedTimeDomain(document, plot, timeAxis);
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
        plot.setSubTitle(GraphTexts::timeFigures(document.statistics(), sep) + QLatin1Char('\n') +
                         NoiseTexts::printLine(document.noiseFigures(), sep));
    } else if (document.view() == PlotDocument::FFTPlot) {
        const QString subtitle = plot.subTitle();
        const qsizetype earlier = subtitle.indexOf(QLatin1String(FftFiguresStart));
        plot.setSubTitle((earlier < 0 ? subtitle : subtitle.left(earlier)) +
                         GraphTexts::fftFigures(document.metrics(), sep));
    }
    plot.redraw();
}
