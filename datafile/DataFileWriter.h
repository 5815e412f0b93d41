// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileHeader.h"
#include "DataFormat.h"
#include "FigureResults.h"
#include "Histogram.h"
#include "TimeStatistics.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>

// Composes the four kinds of data file: common header, kind block, marker line
// and one value per line, every line ended by CR LF. Numbers in files always use
// '.' as decimal separator, whatever the user's locale shows on screen.
namespace DataFileWriter {

// The figures an FFT file keeps (its kind block's lines).
struct SpectralFigures {
    double snr = 0;
    double sinad = 0;
    double thd = 0;
    double sfdr = 0;

    FigureResults results() const;
};

// One value line per sample code.
QByteArray timeDomain(const DataFileHeader &header, const TimeStatistics &stats,
                      std::span<const std::int32_t> samples);
// One value line per level given: the n levels of the current transform.
QByteArray fft(const DataFileHeader &header, const SpectralFigures &figures,
               std::span<const double> levels);
// The bin size and the code where bin 0 starts, then the counts of bins 0 up
// to the last bin in use, so that the counts add up to the sample count.
QByteArray histogram(const DataFileHeader &header, const Histogram &histogram);
// The same from a bin size, the code where bin 0 starts and the counts.
QByteArray histogram(const DataFileHeader &header, double binSize, double firstBinCode,
                     std::span<const double> counts);
// One value line per sample in the data format; without a format neither the
// format line nor any value line is written.
QByteArray dataList(const DataFileHeader &header, std::optional<DataFormat> format,
                    std::span<const std::int32_t> samples);

// A label-and-number field: one blank (or the minus sign), the value in general
// number format, one trailing blank.
QString printedNumber(double value);

// Writes content to path through a temporary file beside it that is renamed
// into place only once complete, so a failed save leaves the old file intact;
// a FIFO, device node or folder at path is refused and left untouched. On
// failure returns false and sets errorText, which names the cause.
bool save(const QString &path, const QByteArray &content, QString *errorText);

} // namespace DataFileWriter
