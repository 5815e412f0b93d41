// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the data-file loader. Besides memory and undefined-
// behaviour errors it checks the loader's promises: a loaded block never holds
// more samples than allowed, its header values are in range, only a loaded
// block carries samples, and a loaded block saved again loads back the same.
#include "DataFileLoader.h"
#include "DataFileWriter.h"

#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const DataFileLoader::Result result = DataFileLoader::parse(content, QStringLiteral("fuzz.csv"));
    if (result.outcome != DataFileLoader::Outcome::Loaded) {
        if (!result.block.samples.empty())
            std::abort();
        return 0;
    }
    const SampleBlock &block = result.block;
    if (block.samples.size() > static_cast<std::size_t>(DataFileLoader::MaxSamples) || block.numBits < 0
        || block.numBits > 32 || !std::isfinite(block.lsbSize) || block.sampleFreq != std::nearbyint(block.sampleFreq))
        std::abort();

    // Line breaks in the device name cannot survive a save; everything else must.
    if (block.deviceId.contains(QLatin1Char('\r')) || block.deviceId.contains(QLatin1Char('\n')))
        return 0;
    const DataFileHeader header{block.deviceId, {}, block.numBits, block.lsbSize,
                                static_cast<std::int32_t>(block.samples.size()), block.sampleFreq};
    const DataFileLoader::Result again =
        DataFileLoader::parse(DataFileWriter::timeDomain(header, {}, block.samples), QStringLiteral("again.csv"));
    if (again.outcome != DataFileLoader::Outcome::Loaded || again.block.samples != block.samples
        || again.block.numBits != block.numBits || again.block.sampleFreq != block.sampleFreq)
        std::abort();
    return 0;
}
