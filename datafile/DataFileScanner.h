// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileHeader.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Reads what every kind of data file shares: the device name on line 1, the
// four header values behind their labels, labelled numbers of the kind block,
// the marker line and the value lines after it. Numbers are read with '.' as
// decimal separator whatever the process locale. A failing step sets
// failure(), a message naming the file and the line.
class DataFileScanner
{
public:
    enum class Marker { None, TimeDomain, Fft, Histogram, DataList };

    // Larger header sample counts than this are refused; a full acquisition is 43 690.
    static constexpr std::int32_t MaxSamples = 65535;
    // Volts per code beyond which no converter's header is taken.
    static constexpr double MaxLsbSize = 1.0;

    // fileName only names the file in messages. The content is shared, not copied.
    DataFileScanner(const QByteArray &content, const QString &fileName);

    // The device name, number of bits, LSB size, sample count and sample
    // frequency (the creation time is not read). With wholeRate the rate is
    // rounded to whole hertz, halves to even. Values no board can give are
    // refused: bits outside 1 .. 32, an LSB size not above 0 or above
    // MaxLsbSize, a rate not above 0. A device name that is not UTF-8 is Latin-1.
    bool readHeader(DataFileHeader &header, bool wholeRate);
    // The number behind the first comma of the first line from the last one
    // read that contains label (a kind-block figure such as "SNR:").
    std::optional<double> readNumber(std::string_view label);

    // The first marker line below line 1; None when there is none.
    Marker findMarker();
    // The values after the marker, blank lines at the end left out; fails
    // beyond maxCount values or on a line that is not a finite number.
    std::optional<std::vector<double>> readValues(std::size_t maxCount);
    // The same as signed 32-bit codes, each rounded halves to even.
    std::optional<std::vector<std::int32_t>> readCodes(std::size_t maxCount);

    const QString &failure() const { return m_failure; }
    // Sets failure() for a problem the caller found; returns false.
    bool fail(const QString &problem);

private:
    void readDeviceId(DataFileHeader &header) const;
    std::optional<std::string_view> findValue(std::string_view label);
    QString failureText(const QString &problem) const;
    bool failAt(std::size_t index, const QString &problem);
    // The value lines, or nullopt (with failure()) when there are too many.
    std::optional<std::pair<std::size_t, std::size_t>> valueRange(std::size_t maxCount, const char *noun);

    QByteArray m_content;
    std::vector<std::string_view> m_lines;
    QString m_fileName;
    // Line 1 is the device name, whatever it says: searches start below it, so
    // a name such as "Sample Points:" cannot pass for a header line or marker.
    static constexpr std::size_t FirstHeaderLine = 1;
    std::size_t m_at = FirstHeaderLine;
    std::size_t m_marker = 0;
    QString m_failure;
};
