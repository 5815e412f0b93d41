// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlotDocument.h"

#include "DataFileWriter.h"
#include "DataList.h"
#include "FigureCatalogue.h"
#include "MetricOptions.h"
#include "NoiseTexts.h"
#include "NumberFormat.h"
#include "VectorState.h"
#include "ViewTraits.h"

#include <algorithm>
#include <cmath>

PlotDocument::PlotDocument(QObject *parent)
    : QObject(parent)
{
}

void PlotDocument::setBlock(const SampleBlock &block)
{
    m_block = block;
    m_numPoints = block.numPoints();
    ++m_blockSerial;
    invalidate();
}

void PlotDocument::setDeviceID(const QString &value)
{
    m_block.deviceId = value;
    m_block.deviceIdIsLatin1 = false;
    invalidate();
}

void PlotDocument::setLSBSize(double value)
{
    m_block.lsbSize = value;
    invalidate();
}

void PlotDocument::setNumBits(std::int16_t value)
{
    m_block.numBits = value;
    invalidate();
}

void PlotDocument::setnumPoints(std::int32_t value)
{
    m_numPoints = value;
    invalidate();
}

void PlotDocument::setSampleFreq(double value)
{
    m_block.sampleFreq = value;
    invalidate();
}

void PlotDocument::LoadData(std::span<const std::int32_t> samples)
{
    m_block.samples.assign(samples.begin(), samples.end());
    ++m_blockSerial;
}

std::span<const std::int32_t> PlotDocument::samples() const
{
    // Never read past the block that was actually loaded.
    const auto count = static_cast<std::size_t>(
        std::clamp<std::int64_t>(m_numPoints, 0, static_cast<std::int64_t>(m_block.samples.size())));
    return std::span(m_block.samples).first(count);
}

void PlotDocument::setOptions(const DocumentOptions &options)
{
    if (options == m_options)
        return;
    if (options.normalizeFft != m_options.normalizeFft || (options.view == Histogram && m_options.view != Histogram))
        invalidate();
    if (options.dataFormat != m_options.dataFormat)
        m_valid[DataListFilled] = false;
    m_options = options;
    emit optionsChanged();
}

void PlotDocument::setNormalizeFFT(bool value)
{
    setOption(&DocumentOptions::normalizeFft, value);
    invalidate();
}

void PlotDocument::setView(View view)
{
    setOption(&DocumentOptions::view, view);
    if (view == Histogram)
        invalidate();
}

void PlotDocument::raiseProgress(std::int32_t progress)
{
    m_calcProgress = progress;
    emit CalcStatus();
    // The handlers may have drawn (a progress bar): the analysis that follows,
    // and the pass's first step after a drawing, start with clean vector state.
    clearUpperVectorState();
}

void PlotDocument::runAnalysisPass()
{
    if (!m_dataReady) {
        raiseProgress(0);
        return;
    }
    m_calcMax = m_numPoints / 8;
    raiseProgress(0);
    const Result result = ViewTraits::of(m_options.view).result;
    if (!m_valid[result]) {
        computeView();
        m_valid[result] = true;
    }
    raiseProgress(0);
}

void PlotDocument::computeView()
{
    const auto progress = [this](std::int32_t p) { raiseProgress(p); };
    switch (m_options.view) {
    case TimeDomain:
        m_stats = TimeStatistics::compute(samples(), m_block.numBits, progress);
        m_noise = NoiseFigures::compute(samples(), m_block.numBits, m_block.lsbSize);
        m_toneInTimeFigures = probeTone();
        break;
    case FFTPlot:
        computeFft();
        break;
    case Histogram:
        m_histogram.compute(samples(), progress);
        m_stats.minimum = m_histogram.minimum();
        m_stats.maximum = m_histogram.maximum();
        m_noise = NoiseFigures::compute(samples(), m_block.numBits, m_block.lsbSize);
        break;
    case DataList:
        m_dataList = DataList::lines(samples(), m_options.dataFormat, CodeScale{m_block.numBits, m_block.lsbSize},
                                     NumberFormat::screenSeparator(), progress);
        break;
    }
}

int PlotDocument::signalBins() const
{
    return m_options.fft.autoBins ? MetricOptions::autoNumBins(m_options.fft.window) : m_options.fft.numBins;
}

bool PlotDocument::probeTone()
{
    if (m_valid[FftValid])
        return m_tone.toneFound;
    m_toneProbe.compute(samples(), m_options.fft.window, false, m_block.numBits);
    const int numBins = signalBins();
    const SpectralMetrics metrics = SpectralMetrics::compute(
        m_toneProbe.bins().first(static_cast<std::size_t>(m_toneProbe.length())), numBins, m_options.fft.numHarmonics,
        m_toneProbeLobes, m_options.fft.autoBins ? SpectralMetrics::Noise::NoiseBinMean : SpectralMetrics::Noise::Sums);
    return ToneFigures::compute(metrics, m_toneProbe, numBins, m_block.numBits).toneFound;
}

void PlotDocument::computeFft()
{
    const auto status = m_spectrum.compute(samples(), m_options.fft.window, m_options.normalizeFft, m_block.numBits,
                                           [this](std::int32_t p) { raiseProgress(p); });
    if (status == Spectrum::TransformStatus::LengthNotPowerOfTwo)
        emit userMessage(QLatin1String(Spectrum::LengthMessage));
    const auto n = static_cast<std::size_t>(m_spectrum.length());
    if (m_averagingDepth > 0 && m_averagedSerial != m_blockSerial) {
        const SpectrumAverage::Shape shape{m_spectrum.length(), m_block.sampleFreq, m_block.numBits, m_block.lsbSize,
                                           m_options.fft.window, m_options.normalizeFft};
        m_average.add(shape, m_spectrum.bins().first(n));
        m_averagedSerial = m_blockSerial;
    }
    // The metrics of the last block, or of the average's powers.
    const auto metricsWith = [&](int numBins, SpectralMetrics::Noise noise, LobeTables &tables) {
        if (m_averagingDepth == 0)
            return SpectralMetrics::compute(m_spectrum.bins().first(n), numBins, m_options.fft.numHarmonics, tables,
                                            noise);
        return SpectralMetrics::computeFromPowers(m_average.meanPowers(), m_average.shape().length, numBins,
                                                  m_options.fft.numHarmonics, tables, noise);
    };
    const int numBins = signalBins();
    const SpectralMetrics::Noise noise =
        m_options.fft.autoBins ? SpectralMetrics::Noise::NoiseBinMean : SpectralMetrics::Noise::Sums;
    m_metrics = metricsWith(numBins, noise, m_lobes);
    m_tone = ToneFigures::compute(m_metrics, m_spectrum, numBins, m_block.numBits);

    // The noise density counts the same noise bins whatever NB the metrics use.
    const int ownBins = MetricOptions::autoNumBins(m_options.fft.window);
    const double noiseBinPower = numBins == ownBins
                                     ? m_metrics.noiseBinPower
                                     : metricsWith(ownBins, SpectralMetrics::Noise::Sums, m_noiseLobes).noiseBinPower;
    m_tone.noiseDensity = NoiseDensity::compute(noiseBinPower, m_spectrum.length(), m_spectrum.windowPowerGain(),
                                                m_block.sampleFreq, m_block.numBits, m_block.lsbSize);
    if (!m_tone.toneFound && !ToneFigures::hasClearPeak(m_metrics, m_spectrum, numBins))
        return;
    SineFitFigures fit = SineFitFigures::compute(samples(), m_spectrum, m_metrics.fundamental, m_block.sampleFreq,
                                                 m_block.numBits, m_block.lsbSize);
    LeakageAdvice leakage;
    if (fit.fit) {
        const LeakageAdvice::Setup setup{m_options.fft.window, m_spectrum.length(), numBins,
                                         m_options.fft.numHarmonics, noise};
        leakage = LeakageAdvice::compute(*fit.fit, setup, m_metrics, noiseBinPower);
    }
    // A clear peak whose own leakage explains the low SNR is a tone; one
    // among other lines (a repeating pattern) or noise is not.
    if (!m_tone.toneFound && leakage.limitedBy == LeakageAdvice::Limit::None)
        return;
    m_tone.toneFound = true;
    m_tone.sineFit = std::move(fit);
    m_tone.leakage = std::move(leakage);
}

void PlotDocument::setFftAveraging(int depth)
{
    m_averagingDepth = depth <= 0 ? 0 : std::clamp(depth, SpectrumAverage::MinDepth, SpectrumAverage::MaxDepth);
    m_average.setDepth(m_averagingDepth);
    resetFftAverage();
}

void PlotDocument::resetFftAverage()
{
    m_average.reset();
    // The block on show starts the new average at the next computation.
    m_averagedSerial = m_blockSerial - 1;
    invalidate();
}

std::span<const double> PlotDocument::fftLevels() const
{
    if (m_averagingDepth > 0 && m_average.count() > 0)
        return m_average.levels();
    return m_spectrum.levels();
}

LevelScale PlotDocument::fftLevelScale() const
{
    if (m_averagingDepth > 0 && m_average.count() > 0)
        return LevelScale::of(m_average);
    return LevelScale::of(m_spectrum, m_block.sampleFreq, m_block.numBits, m_block.lsbSize);
}

SpectrumUnit PlotDocument::fftShownUnit() const
{
    const SpectrumUnit chosen = m_options.fft.unit;
    return fftLevelScale().offsetDb(chosen) ? chosen : SpectrumUnit::DbFullScale;
}

std::vector<double> PlotDocument::fftShownLevels() const
{
    const std::span<const double> levels = fftLevels().first(static_cast<std::size_t>(m_spectrum.length()));
    const SpectrumUnit unit = fftShownUnit();
    if (unit == SpectrumUnit::DbFullScale)
        return {levels.begin(), levels.end()};
    return fftLevelScale().convert(levels, unit);
}

std::vector<FftMarks::Mark> PlotDocument::fftMarks() const
{
    FftMarks::Groups groups = m_options.fft.marks;
    // Lobes around a noise bin would pass the noise for a tone.
    if (!m_tone.toneFound)
        groups.mainLobe = groups.harmonics = false;
    return FftMarks::marks(groups, m_lobes, fftShownLevels(), m_spectrum.length(), m_block.sampleFreq, signalBins(),
                           m_options.fft.numHarmonics);
}

FigureResults PlotDocument::figureResults() const
{
    return {.statistics = m_stats,
            .noise = m_noise,
            .metrics = m_metrics,
            .tone = m_tone,
            .noiseOnly = fftNoiseOnly(),
            .fftLength = m_spectrum.length(),
            .sampleFreq = m_block.sampleFreq,
            .signalBins = signalBins(),
            .histogramBinWidth = m_histogram.binWidth(),
            .histogramMinimum = m_histogram.minimum(),
            .histogramMaximum = m_histogram.maximum(),
            .dataListLines = m_dataList.size(),
            .averagedBlocks = fftAverageCount()};
}

QStringList PlotDocument::statusTexts() const
{
    const ViewTraits &traits = ViewTraits::of(m_options.view);
    if (!m_dataReady || !traits.statusPanels)
        return QStringList(4, QString());
    // The time domain's texts follow the data format.
    if (m_options.view == TimeDomain)
        return timeStatusTexts();
    return FigureCatalogue::statusTexts(traits.figures, figureResults(), NumberFormat::screenSeparator(), 4);
}

QStringList PlotDocument::timeStatusTexts() const
{
    const QChar sep = NumberFormat::screenSeparator();
    const TimeStatistics &s = m_stats;
    const int bits = m_block.numBits;
    const double lsb = m_block.lsbSize;
    if (!m_options.dataFormat)
        return QStringList(4, QString());
    switch (*m_options.dataFormat) {
    case DataFormat::Integer:
        return {QStringLiteral("Std Dev (ppm): ") + NumberFormat::pattern(s.stdDeviation, 0, 4, sep),
                QStringLiteral("Mean: ") + NumberFormat::pattern(s.mean, 0, 4, sep),
                QStringLiteral("Maximum: ") + NumberFormat::general(s.maximum, sep),
                QStringLiteral("Minimum: ") + NumberFormat::general(s.minimum, sep)};
    case DataFormat::Hexadecimal:
        return {QStringLiteral("Std Dev (ppm): ") + CodeText::hexadecimal(s.stdDeviation, bits),
                QStringLiteral("Mean: ") + CodeText::hexadecimal(s.mean, bits),
                QStringLiteral("Maximum: ") + CodeText::hexadecimal(s.maximum, bits),
                QStringLiteral("Minimum: ") + CodeText::hexadecimal(s.minimum, bits)};
    case DataFormat::PercentOfFullScale:
    case DataFormat::ScaledByLsb: {
        // Levels to a fraction of one code, so a converter's noise shows.
        const DataFormat format = *m_options.dataFormat;
        const CodeScale scale{bits, lsb};
        const double stdDevCodes = s.stdDeviation / 1000000.0 * std::ldexp(1.0, bits);
        const QString stdDev = format == DataFormat::ScaledByLsb
                                   ? QStringLiteral("Std Dev: ") + NoiseTexts::volts(stdDevCodes * lsb, sep)
                                   // Parts per million of full scale is already a fraction of full scale.
                                   : QStringLiteral("Std Dev (ppm): ") + NumberFormat::pattern(s.stdDeviation, 0, 4, sep);
        return {stdDev, QStringLiteral("Mean: ") + CodeText::screenCode(s.mean, format, scale, sep),
                QStringLiteral("Maximum: ") + CodeText::screenCode(s.maximum, format, scale, sep),
                QStringLiteral("Minimum: ") + CodeText::screenCode(s.minimum, format, scale, sep)};
    }
    }
    return QStringList(4, QString());
}

QByteArray PlotDocument::dataFileContent(const QDateTime &created) const
{
    const DataFileHeader header{m_block.deviceId, created, m_block.numBits, m_block.lsbSize, m_numPoints,
                                m_block.sampleFreq, m_block.deviceIdIsLatin1};
    switch (m_options.view) {
    case FFTPlot:
        return DataFileWriter::fft(header, {m_metrics.snr, m_metrics.sinad, m_metrics.thd, m_metrics.sfdr},
                                   fftLevels().first(static_cast<std::size_t>(m_spectrum.length())));
    case Histogram:
        return DataFileWriter::histogram(header, m_histogram);
    case DataList:
        return DataFileWriter::dataList(header, m_options.dataFormat, samples());
    case TimeDomain:
        break;
    }
    return DataFileWriter::timeDomain(header, m_stats, samples());
}
