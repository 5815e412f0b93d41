// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace {

const QString application = QStringLiteral("KZ7305EVM");

QString keyPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString AppSettings::defaultsFile()
{
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral(KZ_DEFAULTS_RELATIVE_DIR "/KZ7305EVM.conf"));
}

QString AppSettings::read(const QString &section, const QString &key, const QString &defaultValue)
{
    const QSettings user(QSettings::NativeFormat, QSettings::UserScope, application, application);
    const QString path = keyPath(section, key);
    if (user.contains(path))
        return user.value(path).toString();
    const QSettings shipped(defaultsFile(), QSettings::IniFormat);
    return shipped.value(path, defaultValue).toString();
}

void AppSettings::write(const QString &section, const QString &key, const QString &value)
{
    QSettings user(QSettings::NativeFormat, QSettings::UserScope, application, application);
    user.setValue(keyPath(section, key), value);
}
