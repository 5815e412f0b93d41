// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewAnalysis.h"

#include "DataFileWriter.h"
#include "DataList.h"
#include "FftWindow.h"
#include "Histogram.h"
#include "SpectralMetrics.h"
#include "Spectrum.h"
#include "TimeStatistics.h"

namespace {

ViewReport timeReport(const DataFileHeader &header, std::span<const std::int32_t> samples)
{
    const TimeStatistics stats = TimeStatistics::compute(samples, header.numBits);
    return ViewReport{{{QStringLiteral("std_deviation_ppm"), QStringLiteral("Std Dev (ppm)"), stats.stdDeviation},
                       {QStringLiteral("mean"), QStringLiteral("Mean"), stats.mean},
                       {QStringLiteral("maximum"), QStringLiteral("Maximum"), stats.maximum},
                       {QStringLiteral("minimum"), QStringLiteral("Minimum"), stats.minimum}},
                      DataFileWriter::timeDomain(header, stats, samples)};
}

ViewReport fftReport(const DataFileHeader &header, std::span<const std::int32_t> samples,
                     const AnalyzeOptions &options)
{
    Spectrum spectrum;
    spectrum.compute(samples, FftWindows::fromIndex(options.window), options.normalize, header.numBits);
    const int n = spectrum.length();
    LobeTables tables;
    const SpectralMetrics metrics = SpectralMetrics::compute(spectrum.bins().first(static_cast<std::size_t>(n)),
                                                             options.numBins, options.numHarmonics, tables);
    const double binSpacing = n > 0 ? header.sampleFreq / n : 0.0;
    auto metric = [](const char *key, const char *label, double value) {
        return Figure{QLatin1String(key), QLatin1String(label), value, value != SpectralMetrics::Uncomputed};
    };
    return ViewReport{{{QStringLiteral("fft_length"), QStringLiteral("FFT Length"), static_cast<double>(n)},
                       metric("snr", "SNR", metrics.snr),
                       metric("sinad", "SINAD", metrics.sinad),
                       metric("thd", "THD", metrics.thd),
                       metric("sfdr", "SFDR", metrics.sfdr),
                       {QStringLiteral("fundamental_bin"), QStringLiteral("Fundamental Bin"),
                        static_cast<double>(metrics.fundamental), metrics.fundamentalFound},
                       {QStringLiteral("fundamental_frequency"), QStringLiteral("Fundamental Frequency (Hz)"),
                        metrics.fundamental * binSpacing, metrics.fundamentalFound}},
                      DataFileWriter::fft(header, {metrics.snr, metrics.sinad, metrics.thd, metrics.sfdr},
                                          spectrum.levels().first(static_cast<std::size_t>(n)))};
}

ViewReport histogramReport(const DataFileHeader &header, std::span<const std::int32_t> samples)
{
    Histogram histogram;
    histogram.compute(samples);
    return ViewReport{{{QStringLiteral("bin_width"), QStringLiteral("Bin Width"), histogram.binWidth()},
                       {QStringLiteral("minimum"), QStringLiteral("Minimum"), histogram.minimum()},
                       {QStringLiteral("maximum"), QStringLiteral("Maximum"), histogram.maximum()}},
                      DataFileWriter::histogram(header, histogram)};
}

ViewReport listReport(const DataFileHeader &header, std::span<const std::int32_t> samples, DataFormat format)
{
    const QStringList lines = DataList::lines(samples, format, CodeScale{header.numBits, header.lsbSize},
                                              QLatin1Char('.'));
    return ViewReport{{{QStringLiteral("lines"), QStringLiteral("Lines"), static_cast<double>(lines.size())}},
                      DataFileWriter::dataList(header, format, samples)};
}

} // namespace

ViewReport ViewReport::analyze(const DataFileLoader::Block &block, const AnalyzeOptions &options,
                               const QDateTime &created)
{
    const std::span<const std::int32_t> samples(block.samples);
    const DataFileHeader header{block.deviceId, created, block.numBits, block.lsbSize,
                                static_cast<std::int32_t>(samples.size()), block.sampleFreq};
    switch (options.view) {
    case AnalyzeOptions::View::Fft:
        return fftReport(header, samples, options);
    case AnalyzeOptions::View::Histogram:
        return histogramReport(header, samples);
    case AnalyzeOptions::View::List:
        return listReport(header, samples, options.format);
    case AnalyzeOptions::View::Time:
        break;
    }
    return timeReport(header, samples);
}
