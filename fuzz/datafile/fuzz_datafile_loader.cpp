// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the data-file loader and to the reader of the graph
// views' files. Besides memory and undefined-behaviour errors it checks their
// promises: a loaded block never holds more samples than allowed, its header
// values are in range, only a loaded block carries samples, and a loaded block
// saved again loads back the same; an FFT read holds a power-of-two count of
// finite levels, a histogram counts from 0 to the sample limit, and each saved
// again reads back the same to the 15 digits written.
#include "DataFileLoader.h"
#include "DataFileWriter.h"
#include "GraphFileReader.h"
#include "Histogram.h"

#include <QByteArray>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void checkGraphFile(const QByteArray &content)
{
    const GraphFileReader::Result result = GraphFileReader::parse(content, QStringLiteral("fuzz.csv"));
    if (result.outcome != DataFileLoader::Outcome::Loaded) {
        if (!result.values.empty() || !result.samples.empty())
            std::abort();
        return;
    }
    const std::vector<double> &values = result.values;
    if (!std::ranges::all_of(values, [](double v) { return std::isfinite(v); }))
        std::abort();
    DataFileHeader header = result.header;
    if (header.deviceId.contains(QLatin1Char('\r')) || header.deviceId.contains(QLatin1Char('\n')))
        return;
    QByteArray again;
    switch (result.kind) {
    case GraphFileReader::Kind::TimeDomain:
        return; // the loader's own check below
    case GraphFileReader::Kind::Fft:
        if (values.size() < 2 || values.size() > GraphFileReader::MaxFftLength || !std::has_single_bit(values.size()))
            std::abort();
        again = DataFileWriter::fft(header, result.figures, values);
        break;
    case GraphFileReader::Kind::Histogram:
        if (values.size() > Histogram::BinCount + 1
            || std::ranges::any_of(values, [](double v) { return v < 0 || v > DataFileScanner::MaxSamples; })
            || !(result.binSize >= 1))
            std::abort();
        again = DataFileWriter::histogram(header, result.binSize, result.firstBinCode, values);
        break;
    }
    const auto same = [](double a, double b) { return std::abs(a - b) <= 1e-14 * std::abs(a) + 1e-300; };
    const GraphFileReader::Result reread = GraphFileReader::parse(again, QStringLiteral("again.csv"));
    if (reread.outcome != DataFileLoader::Outcome::Loaded || reread.kind != result.kind
        || !std::ranges::equal(reread.values, values, same) || !same(result.binSize, reread.binSize)
        || !same(result.firstBinCode, reread.firstBinCode))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkGraphFile(content);
    const DataFileLoader::Result result = DataFileLoader::parse(content, QStringLiteral("fuzz.csv"));
    if (result.outcome != DataFileLoader::Outcome::Loaded) {
        if (!result.block.samples.empty())
            std::abort();
        return 0;
    }
    const SampleBlock &block = result.block;
    if (block.samples.size() > static_cast<std::size_t>(DataFileLoader::MaxSamples) || block.numBits < 1
        || block.numBits > 32 || !(block.lsbSize > 0 && block.lsbSize <= 1) || !(block.sampleFreq >= 1)
        || block.sampleFreq != std::nearbyint(block.sampleFreq))
        std::abort();

    // Line breaks in the device name cannot survive a save; everything else must.
    if (block.deviceId.contains(QLatin1Char('\r')) || block.deviceId.contains(QLatin1Char('\n')))
        return 0;
    const DataFileHeader header{block.deviceId, {}, block.numBits, block.lsbSize,
                                static_cast<std::int32_t>(block.samples.size()), block.sampleFreq,
                                block.deviceIdIsLatin1};
    const DataFileLoader::Result again =
        DataFileLoader::parse(DataFileWriter::timeDomain(header, {}, block.samples), QStringLiteral("again.csv"));
    if (again.outcome != DataFileLoader::Outcome::Loaded || again.block.samples != block.samples
        || again.block.numBits != block.numBits || again.block.sampleFreq != block.sampleFreq
        || again.block.deviceId != block.deviceId)
        std::abort();
    return 0;
}
