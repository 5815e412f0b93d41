// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program's settings: text values by section and key. Reads look in the
// per-user store first (~/.config/KZ7305EVM/KZ7305EVM.conf, with the system's
// /etc/xdg copies beneath it), then in the defaults the installation ships
// beside the program (share/KZ7305EVM/KZ7305EVM.conf), then give the caller's
// default. Writes go to the per-user store only.
namespace AppSettings {

QString read(const QString &section, const QString &key, const QString &defaultValue);
void write(const QString &section, const QString &key, const QString &value);

// The installation's defaults file.
QString defaultsFile();

} // namespace AppSettings
