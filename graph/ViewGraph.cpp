// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewGraph.h"

#include "FigureCatalogue.h"
#include "GraphTexts.h"
#include "Histogram.h"
#include "NumberFormat.h"
#include "Plot.h"
#include "ViewReference.h"
#include "ViewTraits.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr auto TimeSecondsXLabel = "Time (s)";

QString timeYUnit(std::optional<DataFormat> format)
{
    if (format == DataFormat::PercentOfFullScale)
        return QStringLiteral("%");
    if (format == DataFormat::ScaledByLsb)
        return QStringLiteral("V");
    return QStringLiteral("codes");
}

// The points of a view's graph, as floats for the series and as doubles for
// the reference, from the same data either holds.
template <typename T>
struct Points {
    std::vector<T> x, y;
};

// The whole trace follows the data format; X counts samples from 1, or
// seconds from the first sample.
template <typename T>
Points<T> timePoints(std::span<const std::int32_t> samples, int numBits, double lsbSize, double secondsRate,
                     std::optional<DataFormat> format)
{
    Points<T> p{std::vector<T>(samples.size()), std::vector<T>(samples.size())};
    for (std::size_t i = 0; i < samples.size(); ++i) {
        p.x[i] = static_cast<T>(secondsRate > 0 ? static_cast<double>(i) / secondsRate : static_cast<double>(i + 1));
        const double code = samples[i];
        if (format == DataFormat::PercentOfFullScale)
            p.y[i] = static_cast<T>(CodeText::percentValue(code, numBits));
        else if (format == DataFormat::ScaledByLsb)
            p.y[i] = static_cast<T>(code * lsbSize);
        else
            p.y[i] = static_cast<T>(code);
    }
    return p;
}

// Bins 0 .. n/2 - 1 of n levels, at their frequencies.
template <typename T>
Points<T> fftPoints(std::span<const double> levels, int n, double sampleFreq)
{
    const auto count = static_cast<std::size_t>(n / 2);
    Points<T> p{std::vector<T>(count), std::vector<T>(count)};
    for (std::size_t i = 0; i < count; ++i) {
        p.x[i] = static_cast<T>(static_cast<double>(i) * sampleFreq / n);
        p.y[i] = static_cast<T>(levels[i]);
    }
    return p;
}

// The first count bins at their centres.
template <typename T>
Points<T> histogramPoints(std::span<const double> counts, std::size_t count, double firstBinCode, double binWidth)
{
    Points<T> p{std::vector<T>(count), std::vector<T>(count)};
    for (std::size_t i = 0; i < count; ++i) {
        p.x[i] = static_cast<T>(Histogram::binCentre(firstBinCode, binWidth, i));
        p.y[i] = static_cast<T>(counts[i]);
    }
    return p;
}

// The rate that turns sample indices into seconds on a seconds axis, 0 for
// sample numbers (also without a rate, which has no seconds to show).
double secondsRate(ViewGraph::TimeAxis timeAxis, double sampleFreq)
{
    return timeAxis == ViewGraph::TimeAxis::Seconds && sampleFreq > 0 ? sampleFreq : 0.0;
}

void feedTimeDomain(const PlotDocument &document, Plot &plot, ViewGraph::TimeAxis timeAxis)
{
    const SampleBlock &block = document.block();
    const double seconds = secondsRate(timeAxis, block.sampleFreq);
    const std::optional<DataFormat> format = document.dataFormat();
    const Points<float> p = timePoints<float>(document.samples(), block.numBits, block.lsbSize, seconds, format);
    plot.setXAxisLabel(QLatin1String(seconds > 0 ? TimeSecondsXLabel : GraphTexts::TimeXLabel));
    plot.setYAxisLabel(QLatin1String(GraphTexts::TimeYLabel));
    plot.setSeriesData(p.x, p.y, static_cast<int>(p.x.size()));
    plot.setAxisUnits(seconds > 0 ? QStringLiteral("s") : QStringLiteral("samples"), timeYUnit(format));
}

// The subtitle a view shows on screen: the FFT's window and length.
QString screenSubtitle(const PlotDocument &document)
{
    if (document.view() != PlotDocument::FFTPlot)
        return QString();
    return GraphTexts::fftSubtitle(document.fftOptions().window, document.spectrum().length());
}

void feedFft(const PlotDocument &document, Plot &plot)
{
    for (const FftMarks::Mark &mark : document.fftMarks())
        plot.setAnnotation(mark.index, {mark.x, mark.y, mark.color, Plot::SymbolMark, mark.text});
    const int n = document.spectrum().length();
    const double sampleFreq = document.block().sampleFreq;
    const SpectrumUnit unit = document.fftShownUnit();
    const Points<float> p = fftPoints<float>(document.fftShownLevels(), n, sampleFreq);
    plot.setXAxisLabel(GraphTexts::fftXLabel(sampleFreq, n, NumberFormat::screenSeparator()));
    plot.setYAxisLabel(SpectrumUnits::axisLabel(unit));
    plot.setSubTitle(screenSubtitle(document));
    plot.setSeriesData(p.x, p.y, static_cast<int>(p.x.size()));
    plot.setAxisUnits(QStringLiteral("Hz"), SpectrumUnits::valueUnit(unit));
    // A density in volts spans decades from the floor to a tone: read on a
    // decade axis, the floor shows as well as the peak. No bin is 0 there.
    plot.setLogAxes(false, unit == SpectrumUnit::NanovoltsPerRootHz);
}

// A reference is drawn in the units of the view on show: the time axis and
// data format the live trace has now.
void feedReference(const ViewReference &reference, const PlotDocument &document, Plot &plot,
                   ViewGraph::TimeAxis timeAxis)
{
    const DataFileHeader &header = reference.header();
    const std::span<const double> values = reference.values();
    Points<double> p;
    switch (reference.view()) {
    case PlotDocument::TimeDomain:
        p = timePoints<double>(reference.samples(), header.numBits, header.lsbSize,
                               secondsRate(timeAxis, header.sampleFreq), document.dataFormat());
        break;
    case PlotDocument::FFTPlot: {
        const std::optional<std::vector<double>> levels = reference.levelsIn(document.fftShownUnit());
        if (!levels)
            return; // ReferenceBar says why it is not drawn
        p = fftPoints<double>(*levels, static_cast<int>(levels->size()), header.sampleFreq);
        break;
    }
    default:
        p = histogramPoints<double>(values, values.size(), reference.firstBinCode(), reference.binSize());
        break;
    }
    plot.setReferenceData(p.x, p.y);
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
    const Points<float> p = histogramPoints<float>(histogram.counts(), count, histogram.minimum(), histogram.binWidth());
    plot.setXAxisLabel(histogram.axisLabel(NumberFormat::screenSeparator()));
    plot.setYAxisLabel(QLatin1String(GraphTexts::HistogramYLabel));
    plot.setSeriesData(p.x, p.y, static_cast<int>(count));
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

void ViewGraph::draw(const PlotDocument &document, Plot &plot, const Style &style, TimeAxis timeAxis,
                     const ViewReference *reference)
{
    const QString deviceId = document.block().deviceId;
    plot.clearAnnotations();
    plot.setMainTitle(deviceId == QLatin1String(SampleBlock::UnspecifiedDevice) ? QString() : deviceId);
    plot.setSubTitle(QString());
    plot.setManualXRange(false);
    plot.setLogAxes(false, false);
    plot.setOverlayData({}, {});
    plot.setReferenceData({}, {});
    if (document.DataReady() && ViewTraits::of(document.view()).graph) {
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
        if (reference && reference->view() == document.view())
            feedReference(*reference, document, plot, timeAxis);
    }
    plot.redraw();
}

void ViewGraph::addPrintFigures(const PlotDocument &document, Plot &plot)
{
    const ViewTraits &traits = ViewTraits::of(document.view());
    const FigureResults results = document.figureResults();
    // Each section of the view's figures on a line of its own.
    QStringList lines;
    for (const FigureCatalogue::Section section : FigureCatalogue::AllSections) {
        const QString line = traits.figures.testFlag(section)
                                 ? FigureCatalogue::printLine(section, results, NumberFormat::screenSeparator())
                                 : QString();
        if (!line.isEmpty())
            lines << line;
    }
    // What limits the FFT figures, beside them.
    if (document.view() == PlotDocument::FFTPlot && document.isValid(PlotDocument::FftValid)
        && !document.toneFigures().leakage.note.isEmpty())
        lines << document.toneFigures().leakage.note;
    if (!lines.isEmpty()) {
        const QString figures = lines.join(QLatin1Char('\n'));
        // A view with a subtitle keeps it, the figures following on its line.
        plot.setSubTitle(traits.subtitled ? (document.DataReady() ? screenSubtitle(document) : QString()) +
                                                QStringLiteral(",     ") + figures
                                          : figures);
    }
    plot.redraw();
}
