// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewAnalysis.h"

#include "NumberFormat.h"

#include <cmath>
#include <limits>

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

QList<Figure> noiseFigures(const NoiseFigures &noise)
{
    return {Figure::optional("rms_noise_codes", "RMS Noise (codes)", noise.rmsNoiseCodes),
            Figure::optional("rms_noise_uv", "RMS Noise (uV)", noise.rmsNoiseUv),
            Figure::optional("pp_noise_codes", "Peak-to-Peak Noise (codes)", noise.ppNoiseCodes),
            Figure::optional("pp_noise_uv", "Peak-to-Peak Noise (uV)", noise.ppNoiseUv),
            Figure::optional("offset_uv", "Offset (uV)", noise.offsetUv),
            Figure::optional("effective_resolution_bits", "Effective Resolution (bits)",
                             noise.effectiveResolutionBits),
            Figure::optional("noise_free_resolution_bits", "Noise-Free Resolution (bits)",
                             noise.noiseFreeResolutionBits),
            Figure::optional("noise_free_resolution_measured_bits", "Noise-Free Resolution, Measured (bits)",
                             noise.noiseFreeResolutionMeasuredBits)};
}

QList<Figure> toneFigures(const ToneFigures &tone)
{
    Figure toneFound{QStringLiteral("tone_found"), QStringLiteral("Tone Found"), tone.toneFound ? 1.0 : 0.0};
    toneFound.yesNo = true;
    const SineFitFigures &fit = tone.sineFit;
    return {Figure::optional("enob", "ENOB (bits)", tone.enob),
            Figure::optional("fundamental_dbfs", "Fundamental (dBFS)", tone.fundamentalDbfs), toneFound,
            Figure::optional("sinefit_frequency_hz", "Sine-Fit Frequency (Hz)", fit.frequencyHz),
            Figure::optional("sinefit_amplitude_dbfs", "Sine-Fit Amplitude (dBFS)", fit.amplitudeDbfs),
            Figure::optional("sinefit_sinad_db", "Sine-Fit SINAD (dB)", fit.sinadDb),
            Figure::optional("sinefit_enob", "Sine-Fit ENOB (bits)", fit.enob),
            Figure::optional("sinefit_residual_rms_uv", "Sine-Fit Residual RMS (uV)", fit.residualRmsUv),
            Figure::optional("noise_density_dbfs_per_hz", "Noise Density (dBFS/Hz)", tone.noiseDensity.dbfsPerHz),
            Figure::optional("noise_density_nv_per_rthz", "Noise Density (nV/rtHz)", tone.noiseDensity.nvPerRtHz)};
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
            {QStringLiteral("signal_bins"), QStringLiteral("Signal Bins"), static_cast<double>(document.signalBins())},
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


QList<Figure> reportFigures(const PlotDocument &document, AnalysisOptions::View view, bool withNoise)
{
    switch (view) {
    case AnalysisOptions::View::Fft:
        return fftFigures(document) + toneFigures(document.toneFigures());
    case AnalysisOptions::View::Histogram:
        return histogramFigures(document.histogram());
    case AnalysisOptions::View::List:
        return {{QStringLiteral("lines"), QStringLiteral("Lines"),
                 static_cast<double>(document.dataListLines().size())}};
    case AnalysisOptions::View::Time:
        break;
    }
    QList<Figure> figures = timeFigures(document.statistics());
    if (withNoise)
        figures += noiseFigures(document.noiseFigures());
    return figures;
}

} // namespace

Figure Figure::optional(const char *key, const char *label, std::optional<double> value)
{
    return {QLatin1String(key), QLatin1String(label), value.value_or(std::numeric_limits<double>::quiet_NaN()),
            value.has_value()};
}

QJsonValue Figure::jsonValue() const
{
    if (yesNo)
        return value != 0;
    return computed ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QString Figure::text() const
{
    if (yesNo)
        return value != 0 ? QStringLiteral("yes") : QStringLiteral("no");
    return std::isnan(value) ? QStringLiteral("-") : NumberFormat::general(value, QLatin1Char('.'));
}

void analyzeInDocument(PlotDocument &document, const SampleBlock &block, const AnalysisOptions &options)
{
    document.setBlock(block);
    DocumentOptions shown = options.document;
    shown.view = documentView(options.view);
    document.setOptions(shown);
    document.runAnalysisPass();
}

ViewReport ViewReport::analyze(const SampleBlock &block, const AnalysisOptions &options,
                               const std::optional<QDateTime> &fileCreated)
{
    PlotDocument document;
    analyzeInDocument(document, block, options);
    return ViewReport{reportFigures(document, options.view, options.noiseFigures),
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
    QList<Figure> figures = reportFigures(document, AnalysisOptions::View::Fft, false);
    figures.append({QStringLiteral("averaged_blocks"), QStringLiteral("Averaged Blocks"),
                    static_cast<double>(document.fftAverageCount())});
    return ViewReport{figures, fileCreated ? document.dataFileContent(*fileCreated) : QByteArray()};
}
