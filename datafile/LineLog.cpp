// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineLog.h"

#include "RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

LineLog::~LineLog()
{
    close();
}

std::optional<QString> LineLog::open(const QString &path)
{
    close();
    // Checked before opening: a device node may act on being opened.
    if (const auto kind = RegularFile::otherKind(path))
        return QStringLiteral("it is %1, not a regular file").arg(*kind);
    // Without waiting for a reader, should a FIFO have taken the file's place since.
    const int descriptor = ::open(QFile::encodeName(path).constData(),
                                  O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (descriptor < 0)
        return RegularFile::cause(errno);
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return QStringLiteral("it is not a regular file");
    }
    ::fcntl(descriptor, F_SETFL, O_APPEND);
    m_descriptor = descriptor;
    m_path = path;
    return std::nullopt;
}

bool LineLog::isEmpty() const
{
    struct stat status {};
    return ::fstat(m_descriptor, &status) == 0 && status.st_size == 0;
}

std::optional<QString> LineLog::append(const QByteArray &line)
{
    struct stat before {};
    if (::fstat(m_descriptor, &before) != 0)
        return RegularFile::cause(errno);
    const int error = RegularFile::writeAll(m_descriptor, line + "\r\n");
    if (error == 0)
        return std::nullopt;
    // The part of the line that got through is cut off again.
    if (::ftruncate(m_descriptor, before.st_size) != 0)
        return RegularFile::cause(error) + QStringLiteral("; the cut line could not be removed");
    return RegularFile::cause(error);
}

void LineLog::close()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
    m_path.clear();
}
