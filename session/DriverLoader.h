// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class NuvarDriverClass;

// Creates a board driver from its class identifier "Library.Class": the driver
// library libLibrary.so is loaded from the program's plug-in folders and asked
// for a driver of class Class. An identifier without "." creates the library's
// default class. Names may hold only letters, digits and "_", so a settings
// file can never point the program at a path of its choosing.
class DriverLoader
{
public:
    // The folders searched, in order: those in the environment variable
    // KZ7305EVM_PLUGIN_PATH (colon-separated), then the program's own plug-in
    // folder.
    static QStringList pluginDirectories();

    // A new driver, or nullptr with the reason in *error.
    static std::unique_ptr<NuvarDriverClass> create(const QString &classId, QString *error = nullptr);

    static bool isValidName(const QString &name);
};
