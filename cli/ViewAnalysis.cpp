// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewAnalysis.h"

#include "AppState.h"

namespace {

PlotDocument::View documentView(AnalysisOptions::View view)
{
    switch (view) {
    case AnalysisOptions::View::Fft:
        return PlotDocument::FFTPlot;
    case AnalysisOptions::View::Histogram:
        return PlotDocument::Histogram;
    case AnalysisOptions::View::List:
        return PlotDocument::DataList;
    case AnalysisOptions::View::Time:
        break;
    }
    return PlotDocument::TimeDomain;
}

QList<Figure> timeFigures(const TimeStatistics &stats)
{
    return {{QStringLiteral("std_deviation_ppm"), QStringLiteral("Std Dev (ppm)"), stats.stdDeviation},
            {QStringLiteral("mean"), QStringLiteral("Mean"), stats.mean},
            {QStringLiteral("maximum"), QStringLiteral("Maximum"), stats.maximum},
            {QStringLiteral("minimum"), QStringLiteral("Minimum"), stats.minimum}};
}

QList<Figure> fftFigures(const PlotDocument &document)
{
    const SpectralMetrics &metrics = document.metrics();
    const int n = document.spectrum().length();
    const double binSpacing = n > 0 ? document.block().sampleFreq / n : 0.0;
    auto metric = [](const char *key, const char *label, double value) {
        return Figure{QLatin1String(key), QLatin1String(label), value, value != SpectralMetrics::Uncomputed};
    };
    return {{QStringLiteral("fft_length"), QStringLiteral("FFT Length"), static_cast<double>(n)},
            metric("snr", "SNR", metrics.snr),
            metric("sinad", "SINAD", metrics.sinad),
            metric("thd", "THD", metrics.thd),
            metric("sfdr", "SFDR", metrics.sfdr),
            {QStringLiteral("fundamental_bin"), QStringLiteral("Fundamental Bin"),
             static_cast<double>(metrics.fundamental), metrics.fundamentalFound},
            {QStringLiteral("fundamental_frequency"), QStringLiteral("Fundamental Frequency (Hz)"),
             metrics.fundamental * binSpacing, metrics.fundamentalFound}};
}

QList<Figure> histogramFigures(const Histogram &histogram)
{
    return {{QStringLiteral("bin_width"), QStringLiteral("Bin Width"), histogram.binWidth()},
            {QStringLiteral("minimum"), QStringLiteral("Minimum"), histogram.minimum()},
            {QStringLiteral("maximum"), QStringLiteral("Maximum"), histogram.maximum()}};
}


QList<Figure> reportFigures(const PlotDocument &document, AnalysisOptions::View view)
{
    switch (view) {
    case AnalysisOptions::View::Fft:
        return fftFigures(document);
    case AnalysisOptions::View::Histogram:
        return histogramFigures(document.histogram());
    case AnalysisOptions::View::List:
        return {{QStringLiteral("lines"), QStringLiteral("Lines"),
                 static_cast<double>(document.dataListLines().size())}};
    case AnalysisOptions::View::Time:
        break;
    }
    return timeFigures(document.statistics());
}

} // namespace

void analyzeInDocument(PlotDocument &document, const SampleBlock &block, const AnalysisOptions &options,
                       const FftMarks::Groups &marks)
{
    AppState::setDataReady(true);
    document.setBlock(block);
    document.setNormalizeFFT(options.normalize);
    document.setFftOptions({FftWindows::fromIndex(options.window), options.numBins, options.numHarmonics, marks});
    document.setDataFormat(options.format);
    document.setView(documentView(options.view));
    document.runAnalysisPass();
}

ViewReport ViewReport::analyze(const SampleBlock &block, const AnalysisOptions &options,
                               const std::optional<QDateTime> &fileCreated)
{
    PlotDocument document;
    analyzeInDocument(document, block, options);
    return ViewReport{reportFigures(document, options.view),
                      fileCreated ? document.dataFileContent(*fileCreated) : QByteArray()};
}

std::variant<ViewReport, qsizetype> ViewReport::analyzeAverage(std::span<const SampleBlock> blocks,
                                                               const AnalysisOptions &options,
                                                               const std::optional<QDateTime> &fileCreated)
{
    PlotDocument document;
    document.setFftAveraging(static_cast<int>(blocks.size()));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        analyzeInDocument(document, blocks[i], options);
        // A block of another shape starts the average over: refuse the set.
        if (document.fftAverageCount() != static_cast<int>(i + 1))
            return static_cast<qsizetype>(i);
    }
    QList<Figure> figures = reportFigures(document, AnalysisOptions::View::Fft);
    figures.append({QStringLiteral("averaged_blocks"), QStringLiteral("Averaged Blocks"),
                    static_cast<double>(document.fftAverageCount())});
    return ViewReport{figures, fileCreated ? document.dataFileContent(*fileCreated) : QByteArray()};
}
