// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The data files used lately and the folder of the last one, kept in the
// per-user settings (section "Files") so Open and Save start where the user
// left off and File offers the latest files again.
namespace RecentFiles {

inline constexpr int MaxFiles = 5;

// The files, newest first, at most MaxFiles.
QStringList files();
// Puts path first in the list and its folder as the last folder.
void add(const QString &path);
// The folder of the last file opened or saved; the home folder before any.
QString lastFolder();

} // namespace RecentFiles
