// SPDX-License-Identifier: GPL-3.0-or-later
#include "GraphFileReader.h"

#include "DataFileScanner.h"
#include "FigureCatalogue.h"
#include "Histogram.h"

#include <QFileInfo>
#include <algorithm>
#include <bit>
#include <cmath>

namespace GraphFileReader {

namespace {

using DataFileLoader::Outcome;

Result failed(const QString &message)
{
    Result result;
    result.message = message;
    return result;
}

// No level or figure comes near this (a metric left uncomputed is 999999999);
// beyond it a value written back with 15 digits might not read back.
constexpr double MaxFftMagnitude = 1e12;

bool readFft(DataFileScanner &scanner, Result &result)
{
    DataFileWriter::SpectralFigures &f = result.figures;
    for (auto [key, figure] : {std::pair{"snr", &f.snr}, {"sinad", &f.sinad}, {"thd", &f.thd}, {"sfdr", &f.sfdr}}) {
        // The file's label up to its comma.
        const std::string_view written = FigureCatalogue::find(FigureCatalogue::Section::Spectrum, key)->file.label;
        const std::string_view label = written.substr(0, written.find(','));
        const auto value = scanner.readNumber(label);
        if (!value)
            return false;
        if (std::abs(*value) > MaxFftMagnitude)
            return scanner.fail(QStringLiteral("the %1 figure is out of range").arg(QLatin1String(label.data(), static_cast<qsizetype>(label.size()))));
        *figure = *value;
    }
    scanner.findMarker();
    auto levels = scanner.readValues(MaxFftLength);
    if (!levels)
        return false;
    if (levels->size() < 2 || !std::has_single_bit(levels->size()))
        return scanner.fail(QStringLiteral("%1 levels are no FFT: their count must be a power of two from 2 to %2")
                                .arg(levels->size()).arg(MaxFftLength));
    if (std::ranges::any_of(*levels, [](double level) { return std::abs(level) > MaxFftMagnitude; }))
        return scanner.fail(QStringLiteral("a level is out of range"));
    result.values = std::move(*levels);
    return true;
}

bool readHistogram(DataFileScanner &scanner, Result &result)
{
    const auto binSize = scanner.readNumber("Bin Size:");
    if (!binSize)
        return false;
    const auto firstCode = scanner.readNumber("First Bin Code:");
    if (!firstCode)
        return false;
    // Bins of whole codes between the smallest and largest 32-bit code.
    constexpr double CodeSpan = 4294967296.0;
    if (*binSize < 1 || *binSize > CodeSpan || std::abs(*firstCode) > CodeSpan / 2)
        return scanner.fail(QStringLiteral("the bin size or first bin code is out of range"));
    scanner.findMarker();
    auto counts = scanner.readValues(Histogram::BinCount + 1);
    if (!counts)
        return false;
    if (std::ranges::any_of(*counts, [](double count) { return count < 0 || count > DataFileScanner::MaxSamples; }))
        return scanner.fail(QStringLiteral("a bin count is not from 0 to %1").arg(DataFileScanner::MaxSamples));
    result.binSize = *binSize;
    result.firstBinCode = *firstCode;
    result.values = std::move(*counts);
    return true;
}

} // namespace

Result parse(const QByteArray &content, const QString &fileName)
{
    DataFileScanner scanner(content, fileName);
    Result result;
    if (!scanner.readHeader(result.header, false))
        return failed(scanner.failure());
    switch (scanner.findMarker()) {
    case DataFileScanner::Marker::TimeDomain: {
        // Time-domain files load as File > Open loads them.
        DataFileLoader::Result time = DataFileLoader::parse(content, fileName);
        result.outcome = time.outcome;
        result.message = time.message;
        const SampleBlock &block = time.block;
        result.header = {block.deviceId, {}, block.numBits, block.lsbSize, block.numPoints(), block.sampleFreq,
                         block.deviceIdIsLatin1};
        result.samples = std::move(time.block.samples);
        return result;
    }
    case DataFileScanner::Marker::Fft:
        result.kind = Kind::Fft;
        if (!readFft(scanner, result))
            return failed(scanner.failure());
        break;
    case DataFileScanner::Marker::Histogram:
        result.kind = Kind::Histogram;
        if (!readHistogram(scanner, result))
            return failed(scanner.failure());
        break;
    case DataFileScanner::Marker::DataList:
        result.outcome = Outcome::Refused;
        result.message = QStringLiteral("Data list files cannot be loaded as a reference - select a time domain, FFT or histogram file.");
        return result;
    case DataFileScanner::Marker::None:
        scanner.fail(QStringLiteral("it holds no marker line of a data file"));
        return failed(scanner.failure());
    }
    result.outcome = Outcome::Loaded;
    return result;
}

Result loadFile(const QString &path)
{
    QString message;
    const std::optional<QByteArray> content = DataFileLoader::readContent(path, &message);
    if (!content)
        return failed(message);
    return parse(*content, DataFileLoader::shownPath(path));
}

} // namespace GraphFileReader
