// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileScanner.h"

#include <QStringDecoder>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

struct MarkerLine {
    std::string_view text;
    DataFileScanner::Marker marker;
};

constexpr MarkerLine Markers[] = {
    {"Sample Points:", DataFileScanner::Marker::TimeDomain},
    {"FFT Points:", DataFileScanner::Marker::Fft},
    {"Histogram Points:", DataFileScanner::Marker::Histogram},
    {"Data Points:", DataFileScanner::Marker::DataList},
};

// Lines end in CR LF as written; LF or CR alone are taken as line ends too.
std::vector<std::string_view> splitLines(const QByteArray &content)
{
    std::vector<std::string_view> lines;
    const std::string_view text(content.constData(), static_cast<std::size_t>(content.size()));
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A finite decimal number, blanks around it allowed; nothing else on the line.
std::optional<double> toNumber(std::string_view text)
{
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Header values may come from files written with ',' as decimal separator.
std::optional<double> toHeaderNumber(std::string_view text)
{
    std::string copy(text);
    for (char &c : copy)
        if (c == ',')
            c = '.';
    return toNumber(copy);
}

// A whole number within [low, high] after rounding halves to even.
std::optional<std::int32_t> toWhole(std::optional<double> value, double low, double high)
{
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value);
    if (rounded < low || rounded > high)
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

constexpr double Int32Low = std::numeric_limits<std::int32_t>::min();
constexpr double Int32High = std::numeric_limits<std::int32_t>::max();

} // namespace

DataFileScanner::DataFileScanner(const QByteArray &content, const QString &fileName)
    : m_content(content), m_lines(splitLines(m_content)), m_fileName(fileName)
{
}

QString DataFileScanner::failureText(const QString &problem) const
{
    return QStringLiteral("Cannot load \"%1\": %2.").arg(m_fileName, problem);
}

bool DataFileScanner::fail(const QString &problem)
{
    m_failure = failureText(problem);
    return false;
}

bool DataFileScanner::failAt(std::size_t index, const QString &problem)
{
    m_failure = failureText(QStringLiteral("line %1 %2").arg(index + 1).arg(problem));
    return false;
}

std::optional<std::string_view> DataFileScanner::findValue(std::string_view label)
{
    while (m_at < m_lines.size() && m_lines[m_at].find(label) == std::string_view::npos)
        ++m_at;
    if (m_at >= m_lines.size()) {
        m_failure = failureText(QStringLiteral("there is no \"%1\" line")
                                    .arg(QLatin1String(label.data(), static_cast<qsizetype>(label.size()))));
        return std::nullopt;
    }
    const std::string_view line = m_lines[m_at];
    const auto comma = line.find(',');
    return comma == std::string_view::npos ? line : line.substr(comma + 1);
}

bool DataFileScanner::readHeader(DataFileHeader &header, bool wholeRate)
{
    if (m_lines.empty())
        return fail(QStringLiteral("the file is empty"));
    readDeviceId(header);

    const auto bitsText = findValue("Number of Bits:");
    if (!bitsText) {
        // The first line every data file has: without it the file is another kind.
        m_failure = failureText(
            QStringLiteral("This file is not a KZ7305EVM data file: its header has no Number of Bits line"));
        return false;
    }
    const auto bits = toWhole(toHeaderNumber(*bitsText), 1, 32);
    if (!bits)
        return failAt(m_at, QStringLiteral("holds no number of bits from 1 to 32"));
    header.numBits = *bits;

    const auto lsbText = findValue("LSB Size:");
    if (!lsbText)
        return false;
    // No converter steps by 0 V, by more than its whole span or backwards.
    const auto lsb = toHeaderNumber(*lsbText);
    if (!lsb || *lsb <= 0 || *lsb > MaxLsbSize)
        return failAt(m_at, QStringLiteral("holds no LSB size above 0 V and up to 1 V"));
    header.lsbSize = *lsb;

    const auto pointsText = findValue("Sample Points:");
    if (!pointsText)
        return false;
    const auto points = toWhole(toHeaderNumber(*pointsText), 0, MaxSamples);
    if (!points)
        return failAt(m_at, QStringLiteral("holds no sample count from 0 to %1").arg(MaxSamples));
    header.numPoints = *points;

    const auto freqText = findValue("Sample Frequency:");
    if (!freqText)
        return false;
    const auto freq = toHeaderNumber(*freqText);
    const auto wholeFreq = toWhole(freq, wholeRate ? 1 : 0, Int32High);
    if (!freq || *freq <= 0 || !wholeFreq)
        return failAt(m_at, QStringLiteral("holds no sample frequency above 0 Hz"));
    header.sampleFreq = wholeRate ? *wholeFreq : *freq;
    return true;
}

void DataFileScanner::readDeviceId(DataFileHeader &header) const
{
    const QByteArray line = QByteArray::fromRawData(m_lines.front().data(), static_cast<qsizetype>(m_lines.front().size()));
    // A byte-order mark is kept as a character, so the line is written back as read.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    header.deviceId = utf8(line);
    // Any byte is a Latin-1 character, so such a name is kept byte for byte.
    header.deviceIdIsLatin1 = utf8.hasError();
    if (header.deviceIdIsLatin1)
        header.deviceId = QString::fromLatin1(line);
}

std::optional<double> DataFileScanner::readNumber(std::string_view label)
{
    const auto text = findValue(label);
    if (!text)
        return std::nullopt;
    const auto value = toHeaderNumber(*text);
    if (!value)
        failAt(m_at, QStringLiteral("holds no number"));
    return value;
}

DataFileScanner::Marker DataFileScanner::findMarker()
{
    for (m_marker = FirstHeaderLine; m_marker < m_lines.size(); ++m_marker)
        for (const MarkerLine &line : Markers)
            if (m_lines[m_marker] == line.text)
                return line.marker;
    return Marker::None;
}

std::optional<std::pair<std::size_t, std::size_t>> DataFileScanner::valueRange(std::size_t maxCount, const char *noun)
{
    // Blank lines after the last value are an editor's leftovers, not values.
    const std::size_t first = std::min(m_marker + 1, m_lines.size());
    std::size_t end = m_lines.size();
    while (end > first && trimBlanks(m_lines[end - 1]).empty())
        --end;
    if (end - first > maxCount) {
        failAt(first + maxCount, QStringLiteral("is one %1 too many: at most %2 %1s can be loaded")
                                     .arg(QLatin1String(noun)).arg(maxCount));
        return std::nullopt;
    }
    return std::pair{first, end};
}

std::optional<std::vector<double>> DataFileScanner::readValues(std::size_t maxCount)
{
    const auto range = valueRange(maxCount, "value");
    if (!range)
        return std::nullopt;
    std::vector<double> values;
    values.reserve(range->second - range->first);
    for (std::size_t i = range->first; i < range->second; ++i) {
        const auto value = toNumber(m_lines[i]);
        if (!value) {
            failAt(i, QStringLiteral("is not a number"));
            return std::nullopt;
        }
        values.push_back(*value);
    }
    return values;
}

std::optional<std::vector<std::int32_t>> DataFileScanner::readCodes(std::size_t maxCount)
{
    const auto range = valueRange(maxCount, "sample");
    if (!range)
        return std::nullopt;
    std::vector<std::int32_t> codes;
    codes.reserve(range->second - range->first);
    for (std::size_t i = range->first; i < range->second; ++i) {
        const auto code = toWhole(toNumber(m_lines[i]), Int32Low, Int32High);
        if (!code) {
            failAt(i, QStringLiteral("is not a 32-bit code"));
            return std::nullopt;
        }
        codes.push_back(*code);
    }
    return codes;
}
