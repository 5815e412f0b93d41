// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// One block of converter codes with its scale, as it travels from the driver
// or a data file to the analysis, the plot window, the command-line tool and
// the data-file writer. Codes are two's complement, index 0 the first sample.
struct SampleBlock {
    static constexpr auto UnspecifiedDevice = "Unspecified Device Name";

    // Where the block came from: a data file, or a port with the board's
    // settings as the driver described them. Empty when unknown.
    struct Source {
        QString file;
        QString port;
        QString settings;
    };

    QString deviceId = QString::fromLatin1(UnspecifiedDevice);
    std::int16_t numBits = 0;    // full-scale range of 2^numBits codes
    double lsbSize = 0;          // volts per code
    double sampleFreq = 1.0;     // hertz
    std::vector<std::int32_t> samples;
    Source source;
    // The name came from a data file's line 1 that was not UTF-8 but Latin-1;
    // files written from the block keep it in Latin-1, byte for byte.
    bool deviceIdIsLatin1 = false;

    std::int32_t numPoints() const { return static_cast<std::int32_t>(samples.size()); }
};
