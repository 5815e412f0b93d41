// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileLoader.h"

#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace DataFileLoader {

namespace {

constexpr std::string_view TimeMarker = "Sample Points:";

struct Refusal {
    std::string_view marker;
    const char *text;
};

constexpr Refusal Refusals[] = {
    {"FFT Points:", "FFT data files cannont be loaded - select a time domain file."},
    {"Histogram Points:", "Histogram data files cannot be loaded - select a time domain file."},
    {"Data Points:", "Data list files cannot be loaded - select a time domain file."},
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

class Reader
{
public:
    Reader(const QByteArray &content, const QString &fileName)
        : m_lines(splitLines(content)), m_fileName(fileName)
    {
    }

    Result read()
    {
        if (m_lines.empty())
            return fail(QStringLiteral("the file is empty"));
        SampleBlock block;
        block.deviceId = QString::fromLocal8Bit(m_lines.front().data(), static_cast<qsizetype>(m_lines.front().size()));
        if (!readHeader(block))
            return m_failure;
        return readValues(std::move(block));
    }

private:
    Result fail(const QString &problem) const
    {
        return Result{Outcome::Failed, QStringLiteral("Cannot load \"%1\": %2.").arg(m_fileName, problem), {}};
    }

    Result failAt(std::size_t index, const QString &problem) const
    {
        return fail(QStringLiteral("line %1 %2").arg(index + 1).arg(problem));
    }

    // Moves to the first line from the current one that contains label and
    // returns the text behind its first comma (the whole line without a comma).
    std::optional<std::string_view> findValue(std::string_view label)
    {
        while (m_at < m_lines.size() && m_lines[m_at].find(label) == std::string_view::npos)
            ++m_at;
        if (m_at == m_lines.size()) {
            m_failure = fail(QStringLiteral("there is no \"%1\" line").arg(QLatin1String(label.data(), static_cast<qsizetype>(label.size()))));
            return std::nullopt;
        }
        const std::string_view line = m_lines[m_at];
        const auto comma = line.find(',');
        return comma == std::string_view::npos ? line : line.substr(comma + 1);
    }

    bool readHeader(SampleBlock &block)
    {
        const auto bitsText = findValue("Number of Bits:");
        if (!bitsText)
            return false;
        const auto bits = toWhole(toHeaderNumber(*bitsText), 0, 32);
        if (!bits)
            return headerFailure("holds no number of bits from 0 to 32");
        block.numBits = static_cast<std::int16_t>(*bits);

        const auto lsbText = findValue("LSB Size:");
        if (!lsbText)
            return false;
        const auto lsb = toHeaderNumber(*lsbText);
        if (!lsb)
            return headerFailure("holds no LSB size");
        block.lsbSize = *lsb;

        // The count is checked but the value lines decide how many samples there are.
        const auto pointsText = findValue("Sample Points:");
        if (!pointsText)
            return false;
        if (!toWhole(toHeaderNumber(*pointsText), 0, MaxSamples))
            return headerFailure(QStringLiteral("holds no sample count from 0 to %1").arg(MaxSamples));

        const auto freqText = findValue("Sample Frequency:");
        if (!freqText)
            return false;
        const auto freq = toWhole(toHeaderNumber(*freqText), std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max());
        if (!freq)
            return headerFailure("holds no sample frequency");
        block.sampleFreq = *freq;
        return true;
    }

    bool headerFailure(const QString &problem)
    {
        m_failure = failAt(m_at, problem);
        return false;
    }

    Result readValues(SampleBlock block) const
    {
        std::size_t marker = FirstHeaderLine;
        while (marker < m_lines.size() && !isMarker(m_lines[marker]))
            ++marker;
        if (marker == m_lines.size())
            return Result{Outcome::NoMarker, {}, {}};
        for (const Refusal &refusal : Refusals)
            if (m_lines[marker] == refusal.marker)
                return Result{Outcome::Refused, QString::fromLatin1(refusal.text), {}};

        // Blank lines after the last value are an editor's leftovers, not values.
        std::size_t end = m_lines.size();
        while (end > marker + 1 && trimBlanks(m_lines[end - 1]).empty())
            --end;
        if (end - marker - 1 > static_cast<std::size_t>(MaxSamples))
            return failAt(marker + 1 + MaxSamples, QStringLiteral("is one sample too many: at most %1 samples can be loaded").arg(MaxSamples));
        block.samples.reserve(end - marker - 1);
        for (std::size_t i = marker + 1; i < end; ++i) {
            const auto code = toWhole(toNumber(m_lines[i]), std::numeric_limits<std::int32_t>::min(),
                                      std::numeric_limits<std::int32_t>::max());
            if (!code)
                return failAt(i, QStringLiteral("is not a 32-bit code"));
            block.samples.push_back(*code);
        }
        return Result{Outcome::Loaded, {}, std::move(block)};
    }

    static bool isMarker(std::string_view line)
    {
        if (line == TimeMarker)
            return true;
        for (const Refusal &refusal : Refusals)
            if (line == refusal.marker)
                return true;
        return false;
    }

    std::vector<std::string_view> m_lines;
    QString m_fileName;
    // Line 1 is the device name, whatever it says: searches start below it, so
    // a name such as "Sample Points:" cannot pass for a header line or marker.
    static constexpr std::size_t FirstHeaderLine = 1;
    std::size_t m_at = FirstHeaderLine;
    Result m_failure;
};

} // namespace

Result parse(const QByteArray &content, const QString &fileName)
{
    return Reader(content, fileName).read();
}

Result loadFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result{Outcome::Failed, QStringLiteral("Cannot open \"%1\": %2.").arg(name, file.errorString()), {}};
    // Read one byte beyond the limit: the size of a pipe or device is unknown.
    const QByteArray content = file.read(MaxFileBytes + 1);
    if (content.size() > MaxFileBytes)
        return Result{Outcome::Failed, QStringLiteral("Cannot load \"%1\": the file is larger than %2 MB.").arg(name).arg(MaxFileBytes / (1024 * 1024)), {}};
    Result result = parse(content, name);
    result.block.source.file = path;
    return result;
}

} // namespace DataFileLoader
