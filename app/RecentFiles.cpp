// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecentFiles.h"

#include "AppSettings.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString section = QStringLiteral("Files");

QString recentKey(int n)
{
    return QStringLiteral("Recent%1").arg(n);
}

} // namespace

QStringList RecentFiles::files()
{
    QStringList list;
    for (int n = 1; n <= MaxFiles; ++n) {
        const QString path = AppSettings::read(section, recentKey(n), QString());
        if (!path.isEmpty())
            list.append(path);
    }
    return list;
}

void RecentFiles::add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = files();
    list.removeAll(absolute);
    list.prepend(absolute);
    for (int n = 1; n <= MaxFiles; ++n)
        AppSettings::write(section, recentKey(n), n <= list.size() ? list.at(n - 1) : QString());
    AppSettings::write(section, QStringLiteral("LastFolder"), QFileInfo(absolute).absolutePath());
}

QString RecentFiles::lastFolder()
{
    const QString folder = AppSettings::read(section, QStringLiteral("LastFolder"), QString());
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}
