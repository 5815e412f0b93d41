// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device node");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

// The file's mode for a new file: what the umask lets through of rw-rw-rw-.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

QString cause(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("disk full");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied");
    case EROFS:
        return QStringLiteral("read-only file system");
    case ENOENT:
        return QStringLiteral("no such file or folder");
    default:
        return QString::fromLocal8Bit(std::strerror(error)).toLower();
    }
}

std::optional<QString> otherKind(const QString &path)
{
    struct stat status {};
    if (::stat(nativePath(path).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return std::nullopt;
    return kindOf(status.st_mode);
}

std::optional<QString> writeProblem(const QString &path, WriteMode mode)
{
    if (const auto kind = otherKind(path))
        return QStringLiteral("it is %1, not a regular file").arg(*kind);
    const bool exists = QFileInfo::exists(path);
    if (exists && ::access(nativePath(path).constData(), W_OK) != 0)
        return cause(errno);
    if ((!exists || mode == WriteMode::Replace) && ::access(nativePath(folderOf(path)).constData(), W_OK | X_OK) != 0)
        return cause(errno);
    return std::nullopt;
}

bool sameFile(const QString &first, const QString &second)
{
    struct stat a {}, b {};
    const bool firstExists = ::stat(nativePath(first).constData(), &a) == 0;
    const bool secondExists = ::stat(nativePath(second).constData(), &b) == 0;
    if (firstExists || secondExists)
        return firstExists && secondExists && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return QFileInfo(first).fileName() == QFileInfo(second).fileName() && sameFile(folderOf(first), folderOf(second));
}

int writeAll(int descriptor, const QByteArray &content)
{
    const char *data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, static_cast<std::size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        left -= written;
    }
    return 0;
}

std::optional<QString> replace(const QString &path, const QByteArray &content)
{
    if (const auto problem = writeProblem(path))
        return problem;
    // A link is followed: its target is replaced, the link stays.
    const QFileInfo info(path);
    const QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    QByteArray temporary = nativePath(QDir(folderOf(target)).filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".XXXXXX")));
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0)
        return cause(errno);

    struct stat old {};
    const mode_t mode = ::stat(nativePath(target).constData(), &old) == 0 ? (old.st_mode & 07777) : newFileMode();
    int error = writeAll(descriptor, content);
    if (error == 0 && (::fchmod(descriptor, mode) != 0 || ::fsync(descriptor) != 0))
        error = errno;
    if (::close(descriptor) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), nativePath(target).constData()) != 0)
        error = errno;
    if (error == 0)
        return std::nullopt;
    ::unlink(temporary.constData());
    return cause(error);
}

} // namespace RegularFile
