// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewReference.h"

#include "FftWindow.h"
#include "FigureCatalogue.h"
#include "NumberFormat.h"
#include "ViewTraits.h"

#include <QFileInfo>
#include <QStringList>

namespace {

QString number(double value)
{
    return NumberFormat::general(value, NumberFormat::screenSeparator());
}

// "SNR 87.70 dB, SINAD ...": the figures an FFT file keeps.
QString figuresLine(const DataFileWriter::SpectralFigures &figures)
{
    const FigureResults results = figures.results();
    QStringList items;
    for (const FigureCatalogue::Entry *entry : FigureCatalogue::shownAt(&FigureCatalogue::Entry::file,
                                                                        FigureCatalogue::Section::Spectrum))
        items << QStringLiteral("%1 %2 %3")
                     .arg(QLatin1String(entry->text),
                          NumberFormat::pattern(entry->read(results).number, 0, 2, NumberFormat::screenSeparator()),
                          QLatin1String(entry->unit));
    return items.join(QStringLiteral(", "));
}

QString rateLine(const DataFileHeader &header, qsizetype count, const char *unit)
{
    return QStringLiteral("%1 %2 at %3 Hz, %4 bits")
        .arg(count)
        .arg(QLatin1String(unit), number(header.sampleFreq))
        .arg(header.numBits);
}

QString binsLine(double binSize, double firstBinCode)
{
    return QStringLiteral("Bins of %1 codes from code %2").arg(number(binSize), number(firstBinCode));
}

} // namespace

std::optional<ViewReference> ViewReference::hold(const PlotDocument &document, const QDateTime &heldAt)
{
    const View view = document.view();
    const ViewTraits &traits = ViewTraits::of(view);
    if (!document.DataReady() || !traits.referenceKind || !document.isValid(traits.result))
        return std::nullopt;
    ViewReference reference(view);
    const SampleBlock &block = document.block();
    reference.m_header = {block.deviceId, heldAt, block.numBits, block.lsbSize, document.numPoints(), block.sampleFreq,
                          block.deviceIdIsLatin1};
    QStringList lines{QStringLiteral("%1 reference held at %2")
                          .arg(QLatin1String(traits.referenceName), heldAt.time().toString(QStringLiteral("HH:mm:ss"))),
                      QStringLiteral("Device: ") + block.deviceId};
    if (view == PlotDocument::TimeDomain) {
        const std::span<const std::int32_t> samples = document.samples();
        reference.m_samples.assign(samples.begin(), samples.end());
        reference.m_header.numPoints = static_cast<std::int32_t>(samples.size());
        reference.m_stats = document.statistics();
        lines << rateLine(reference.m_header, static_cast<qsizetype>(samples.size()), "samples");
    } else if (view == PlotDocument::FFTPlot) {
        const int n = document.spectrum().length();
        const std::span<const double> levels = document.fftLevels().first(static_cast<std::size_t>(n));
        reference.m_values.assign(levels.begin(), levels.end());
        reference.m_levelScale = document.fftLevelScale();
        const SpectralMetrics &m = document.metrics();
        reference.m_figures = {m.snr, m.sinad, m.thd, m.sfdr};
        lines << FftWindows::title(document.fftOptions().window) + QStringLiteral(", ")
                     + rateLine(reference.m_header, n, "points")
              << QStringLiteral("0 dB reference: ")
                     + QLatin1String(document.NormalizeFFT() ? "highest signal" : "full scale")
              << (document.fftAveragingDepth() > 0 ? QStringLiteral("Averaged: %1 of %2 blocks")
                                                         .arg(document.fftAverageCount())
                                                         .arg(document.fftAveragingDepth())
                                                   : QStringLiteral("Averaging off"))
              << figuresLine(reference.m_figures);
    } else {
        const ::Histogram &histogram = document.histogram();
        reference.m_values.assign(histogram.counts().begin(), histogram.counts().begin() + histogram.binsInUse());
        reference.m_binSize = histogram.binWidth();
        reference.m_firstBinCode = histogram.minimum();
        lines << rateLine(reference.m_header, static_cast<qsizetype>(document.samples().size()), "samples")
              << binsLine(reference.m_binSize, reference.m_firstBinCode);
    }
    if (!block.source.settings.isEmpty())
        lines << QStringLiteral("Board: ") + block.source.settings;
    if (!block.source.file.isEmpty())
        lines << QStringLiteral("Loaded from ") + QFileInfo(block.source.file).fileName();
    reference.m_settings = lines.join(QLatin1Char('\n'));
    return reference;
}

ViewReference ViewReference::fromFile(const GraphFileReader::Result &file, const QString &fileName)
{
    ViewReference reference(ViewTraits::ofReferenceKind(file.kind).view);
    reference.m_header = file.header;
    reference.m_samples = file.samples;
    reference.m_values = file.values;
    reference.m_figures = file.figures;
    reference.m_binSize = file.binSize;
    reference.m_firstBinCode = file.firstBinCode;
    QStringList lines{QStringLiteral("%1 reference loaded from %2").arg(QLatin1String(ViewTraits::of(reference.m_view).referenceName), fileName),
                      QStringLiteral("Device: ") + file.header.deviceId};
    switch (reference.m_view) {
    case PlotDocument::TimeDomain:
        reference.m_stats = TimeStatistics::compute(reference.m_samples, file.header.numBits);
        lines << rateLine(file.header, static_cast<qsizetype>(file.samples.size()), "samples");
        break;
    case PlotDocument::FFTPlot:
        // The file keeps the figures but not the window or averaging.
        lines << rateLine(file.header, static_cast<qsizetype>(file.values.size()), "points") << figuresLine(file.figures);
        break;
    default:
        lines << rateLine(file.header, file.header.numPoints, "samples")
              << binsLine(file.binSize, file.firstBinCode);
        break;
    }
    reference.m_settings = lines.join(QLatin1Char('\n'));
    return reference;
}

std::optional<std::vector<double>> ViewReference::levelsIn(SpectrumUnit unit) const
{
    if (unit == SpectrumUnit::DbFullScale)
        return m_values;
    if (!m_levelScale || !m_levelScale->offsetDb(unit))
        return std::nullopt;
    return m_levelScale->convert(m_values, unit);
}

QByteArray ViewReference::dataFileContent(const QDateTime &created) const
{
    DataFileHeader header = m_header;
    header.created = created;
    switch (m_view) {
    case PlotDocument::FFTPlot:
        return DataFileWriter::fft(header, m_figures, m_values);
    case PlotDocument::Histogram:
        return DataFileWriter::histogram(header, m_binSize, m_firstBinCode, m_values);
    default:
        return DataFileWriter::timeDomain(header, m_stats, m_samples);
    }
}
