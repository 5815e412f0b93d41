// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileWriter.h"

#include "FigureCatalogue.h"
#include "NumberFormat.h"
#include "RegularFile.h"

namespace DataFileWriter {

namespace {

constexpr QChar FileSeparator = QLatin1Char('.');

class Lines
{
public:
    void add(const QString &line) { addBytes(line.toUtf8()); }
    void addBytes(const QByteArray &line)
    {
        m_text += line;
        m_text += "\r\n";
    }
    void add(const char *line) { add(QString::fromLatin1(line)); }
    void addFigure(const char *label, double value) { add(QLatin1String(label) + printedNumber(value)); }
    // The kind block's figures of section, with their file labels.
    void addFigures(FigureCatalogue::Section section, const FigureResults &results)
    {
        for (const auto &[label, value] : FigureCatalogue::fileLines({section}, results))
            add(label + printedNumber(value));
    }
    QByteArray take() { return std::move(m_text); }

private:
    QByteArray m_text;
};

void addHeader(Lines &lines, const DataFileHeader &header)
{
    lines.addBytes(header.deviceIdIsLatin1 ? header.deviceId.toLatin1() : header.deviceId.toUtf8());
    lines.add(QStringLiteral("Created: ") + DataFileHeader::createdText(header.created));
    lines.add(QStringLiteral("Number of Bits:,") + QString::number(header.numBits));
    lines.add(QStringLiteral("LSB Size:,") + NumberFormat::general(header.lsbSize, FileSeparator));
    lines.addFigure("Sample Points:,", header.numPoints);
    lines.addFigure("Sample Frequency:,", header.sampleFreq);
}

void addGeneralValues(Lines &lines, std::span<const double> values)
{
    for (double value : values)
        lines.add(NumberFormat::general(value, FileSeparator));
}

const char *formatLine(DataFormat format)
{
    switch (format) {
    case DataFormat::Integer:
        return "Data Format:, Integer";
    case DataFormat::Hexadecimal:
        return "Data Format:, Hexidecimal";
    case DataFormat::PercentOfFullScale:
        return "Data Format:, Percentage of Full Scale";
    case DataFormat::ScaledByLsb:
        return "Data Format:, Scaled by LSB";
    }
    return "";
}

} // namespace

FigureResults SpectralFigures::results() const
{
    FigureResults results;
    results.metrics.snr = snr;
    results.metrics.sinad = sinad;
    results.metrics.thd = thd;
    results.metrics.sfdr = sfdr;
    return results;
}

QString printedNumber(double value)
{
    const QString text = NumberFormat::general(value, FileSeparator);
    return (text.startsWith(QLatin1Char('-')) ? QString() : QStringLiteral(" ")) + text + QLatin1Char(' ');
}

QByteArray timeDomain(const DataFileHeader &header, const TimeStatistics &stats,
                      std::span<const std::int32_t> samples)
{
    Lines lines;
    addHeader(lines, header);
    lines.add("Time Domain Data");
    FigureResults results;
    results.statistics = stats;
    lines.addFigures(FigureCatalogue::Section::Statistics, results);
    lines.add("Sample Points:");
    for (std::int32_t code : samples)
        lines.add(QString::number(code));
    return lines.take();
}

QByteArray fft(const DataFileHeader &header, const SpectralFigures &figures, std::span<const double> levels)
{
    Lines lines;
    addHeader(lines, header);
    lines.add("FFT Plot Data");
    lines.addFigures(FigureCatalogue::Section::Spectrum, figures.results());
    lines.add("FFT Points:");
    addGeneralValues(lines, levels);
    return lines.take();
}

QByteArray histogram(const DataFileHeader &header, const Histogram &histogram)
{
    return DataFileWriter::histogram(header, histogram.binWidth(), histogram.minimum(),
                                     histogram.counts().first(static_cast<std::size_t>(histogram.binsInUse())));
}

QByteArray histogram(const DataFileHeader &header, double binSize, double firstBinCode,
                     std::span<const double> counts)
{
    Lines lines;
    addHeader(lines, header);
    lines.add("Histogram Data");
    FigureResults results;
    results.histogramBinWidth = binSize;
    results.histogramMinimum = firstBinCode;
    lines.addFigures(FigureCatalogue::Section::Histogram, results);
    lines.add("Histogram Points:");
    addGeneralValues(lines, counts);
    return lines.take();
}

QByteArray dataList(const DataFileHeader &header, std::optional<DataFormat> format,
                    std::span<const std::int32_t> samples)
{
    Lines lines;
    addHeader(lines, header);
    lines.add("Data List");
    if (format)
        lines.add(formatLine(*format));
    lines.add("Data Points:");
    if (format) {
        const CodeScale scale{header.numBits, header.lsbSize};
        for (std::int32_t code : samples)
            lines.add(CodeText::code(code, *format, scale, FileSeparator));
    }
    return lines.take();
}

bool save(const QString &path, const QByteArray &content, QString *errorText)
{
    const std::optional<QString> problem = RegularFile::replace(path, content);
    if (problem && errorText)
        *errorText = QStringLiteral("Cannot save \"%1\": %2.").arg(path, *problem);
    return !problem;
}

} // namespace DataFileWriter
