// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DataFileScanner.h"
#include "SampleBlock.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// Reads a time-domain data file back: the device name from line 1, the four
// header values behind their labels, and one code per line after the
// "Sample Points:" marker. Files of the other kinds are recognised and refused.
// Nothing is applied anywhere: the caller takes the block only when loaded, so a
// refused or broken file changes nothing.
namespace DataFileLoader {

// Larger blocks than this are refused; a full acquisition is 43 690 samples.
constexpr std::int32_t MaxSamples = DataFileScanner::MaxSamples;
// Files beyond this size cannot hold a block the program could show.
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

enum class Outcome {
    Loaded,    // block holds the file's data
    NoMarker,  // no marker line at all: not a data file, closed silently
    Refused,   // a file of another kind; message holds the refusal
    Failed,    // unreadable or not convertible; message names the file and line
};

struct Result {
    Outcome outcome = Outcome::Failed;
    QString message;
    SampleBlock block; // its sample rate is a whole number of hertz
};

// fileName only names the file in messages.
Result parse(const QByteArray &content, const QString &fileName);
// The file's bytes, or nullopt with a message when it is not a regular file,
// cannot be read or is larger than MaxFileBytes.
std::optional<QByteArray> readContent(const QString &path, QString *message);
// The file as messages name it: the whole path, folder included, so a user
// knows which of several same-named files was meant.
QString shownPath(const QString &path);
// The loaded block names path as its source.
Result loadFile(const QString &path);

} // namespace DataFileLoader
