// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A regular file that lines are appended to, each whole or not at all: a line
// that cannot be written whole (a full disk) is cut off again, so the file
// always ends with a complete line. Each line is handed to the system at once,
// unbuffered, so a run that ends badly keeps what it logged.
class LineLog
{
public:
    LineLog() = default;
    LineLog(const LineLog &) = delete;
    LineLog &operator=(const LineLog &) = delete;
    ~LineLog();

    // Opens path for appending, creating it when missing; a FIFO, device node
    // or folder is refused untouched. The problem, or nothing when open.
    std::optional<QString> open(const QString &path);
    // True when the file holds no byte yet.
    bool isEmpty() const;
    // Appends line and CR LF; the cause of a failure, the file then
    // as it was before.
    std::optional<QString> append(const QByteArray &line);
    void close();

    bool isOpen() const { return m_descriptor >= 0; }
    const QString &path() const { return m_path; }

private:
    int m_descriptor = -1;
    QString m_path;
};
