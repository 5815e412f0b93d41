// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileLoader.h"
#include "DataFileWriter.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Reads a data file of a graph view back as the writer wrote it: a
// time-domain file (through DataFileLoader), an FFT file (the figures and the
// n levels in dB) or a histogram file (bin size, first bin code and the
// counts). Data-list files are refused. Nothing is applied anywhere, and a
// broken file gives a message naming the file and line.
namespace GraphFileReader {

// The longest transform a file may hold: twice a full acquisition, rounded up.
constexpr int MaxFftLength = 65536;

enum class Kind { TimeDomain, Fft, Histogram };

struct Result {
    DataFileLoader::Outcome outcome = DataFileLoader::Outcome::Failed;
    QString message;
    Kind kind = Kind::TimeDomain;
    // The header values (a time-domain file's count is that of its samples,
    // its rate a whole number of hertz, as File > Open reads them).
    DataFileHeader header;
    // The codes of a time-domain file.
    std::vector<std::int32_t> samples;
    // FFT: the n levels in dB (n a power of two); histogram: the counts of bins 0 up.
    std::vector<double> values;
    DataFileWriter::SpectralFigures figures;
    double binSize = 1;
    double firstBinCode = 0;
};

// fileName only names the file in messages.
Result parse(const QByteArray &content, const QString &fileName);
// Reads at most DataFileLoader::MaxFileBytes.
Result loadFile(const QString &path);

} // namespace GraphFileReader
