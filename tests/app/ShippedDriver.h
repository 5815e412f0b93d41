// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

// Points the program's per-user settings at configDir and binds the shipped
// KZ7305 driver from the build, as an installed program binds it.
inline void useShippedDriver(const QTemporaryDir &configDir)
{
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    qputenv("KZ7305EVM_PLUGIN_PATH", qgetenv("KZ_TEST_PLUGIN_DIR"));
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KZ7305EVM"), QStringLiteral("KZ7305EVM"))
        .setValue(QStringLiteral("Plugins/DriverName"), QStringLiteral("KZ7305EVM.kz7305"));
}
