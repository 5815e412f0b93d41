// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Files are read and written only when they are regular files: a FIFO would
// block the program, and a device node or socket would be replaced by a file
// (or written into) while the save reported success. Failures are told by
// their cause ("disk full", "permission denied", "read-only file system").
namespace RegularFile {

// The cause of a failed system call, in words, from its errno.
QString cause(int error);

// What path is when it exists but is not a regular file ("a FIFO", "a device
// node", ...); nothing for a regular file or one that does not exist.
std::optional<QString> otherKind(const QString &path);

// How a file is written: replaced whole through a new file beside it (which
// needs its folder writable), or appended to in place.
enum class WriteMode { Replace, Append };

// Why path cannot be written: not a regular file, the file or (for a new file
// or a replacement) its folder not writable. Nothing when a save may go ahead.
std::optional<QString> writeProblem(const QString &path, WriteMode mode = WriteMode::Replace);

// True when both paths name the same file (device and inode), or, for a file
// not yet made, the same name in the same folder.
bool sameFile(const QString &first, const QString &second);

// Writes all of content to the open descriptor; 0, or the errno of the failure.
int writeAll(int descriptor, const QByteArray &content);

// Replaces path with content through a temporary file beside it, renamed into
// place only once complete and on disk, so a failed save leaves the old file
// intact and a non-regular file is never touched. The problem when it fails.
std::optional<QString> replace(const QString &path, const QByteArray &content);

} // namespace RegularFile
