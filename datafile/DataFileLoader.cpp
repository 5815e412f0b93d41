// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileLoader.h"

#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace DataFileLoader {

namespace {

const char *refusalText(DataFileScanner::Marker marker)
{
    switch (marker) {
    case DataFileScanner::Marker::Fft:
        return "FFT data files cannont be loaded - select a time domain file.";
    case DataFileScanner::Marker::Histogram:
        return "Histogram data files cannot be loaded - select a time domain file.";
    case DataFileScanner::Marker::DataList:
        return "Data list files cannot be loaded - select a time domain file.";
    default:
        return nullptr;
    }
}

} // namespace

Result parse(const QByteArray &content, const QString &fileName)
{
    DataFileScanner scanner(content, fileName);
    DataFileHeader header;
    if (!scanner.readHeader(header, true))
        return Result{Outcome::Failed, scanner.failure(), {}};
    const DataFileScanner::Marker marker = scanner.findMarker();
    if (marker == DataFileScanner::Marker::None)
        return Result{Outcome::NoMarker, {}, {}};
    if (const char *refusal = refusalText(marker))
        return Result{Outcome::Refused, QString::fromLatin1(refusal), {}};
    auto codes = scanner.readCodes(static_cast<std::size_t>(MaxSamples));
    if (!codes)
        return Result{Outcome::Failed, scanner.failure(), {}};
    // The value lines, not the header's count, decide how many samples there are.
    SampleBlock block{header.deviceId, static_cast<std::int16_t>(header.numBits), header.lsbSize, header.sampleFreq,
                      std::move(*codes), {}, header.deviceIdIsLatin1};
    return Result{Outcome::Loaded, {}, std::move(block)};
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

std::optional<QByteArray> readContent(const QString &path, QString *message)
{
    const QString name = DataFileLoader::shownPath(path);
    // Checked before opening: opening a FIFO waits for a writer.
    if (const auto kind = RegularFile::otherKind(path)) {
        *message = QStringLiteral("Cannot open \"%1\": it is %2, not a regular file.").arg(name, *kind);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("Cannot open \"%1\": %2.").arg(name, file.errorString());
        return std::nullopt;
    }
    // One byte beyond the limit: a file may grow while it is read.
    QByteArray content = file.read(MaxFileBytes + 1);
    if (content.size() > MaxFileBytes) {
        *message = QStringLiteral("Cannot load \"%1\": the file is larger than %2 MB.").arg(name).arg(MaxFileBytes / (1024 * 1024));
        return std::nullopt;
    }
    return content;
}

Result loadFile(const QString &path)
{
    Result result;
    const std::optional<QByteArray> content = readContent(path, &result.message);
    if (!content)
        return result;
    result = parse(*content, shownPath(path));
    result.block.source.file = path;
    return result;
}

} // namespace DataFileLoader
