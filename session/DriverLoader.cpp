// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriverLoader.h"

#include "NuvarDriverClass.h"
#include "NuvarDriverPlugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QRegularExpression>

QStringList DriverLoader::pluginDirectories()
{
    QStringList dirs;
    const QString extra = qEnvironmentVariable("KZ7305EVM_PLUGIN_PATH");
    for (const QString &dir : extra.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        dirs << dir;
    dirs << QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral(KZ_PLUGIN_RELATIVE_DIR));
    return dirs;
}

bool DriverLoader::isValidName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_]+$"));
    return pattern.match(name).hasMatch();
}

std::unique_ptr<NuvarDriverClass> DriverLoader::create(const QString &classId, QString *error)
{
    auto fail = [error](const QString &reason) -> std::unique_ptr<NuvarDriverClass> {
        if (error)
            *error = reason;
        return nullptr;
    };
    const qsizetype dot = classId.indexOf(QLatin1Char('.'));
    const QString library = dot < 0 ? classId : classId.left(dot);
    const QString className = dot < 0 ? QString() : classId.mid(dot + 1);
    if (!isValidName(library) || (dot >= 0 && !isValidName(className)))
        return fail(QStringLiteral("invalid driver class identifier \"%1\"").arg(classId));

    const QString fileName = QStringLiteral("lib%1.so").arg(library);
    for (const QString &dir : pluginDirectories()) {
        const QString path = QDir(dir).absoluteFilePath(fileName);
        if (!QFileInfo::exists(path))
            continue;
        // Loaded plug-ins stay loaded for the rest of the run, so drivers they
        // created never outlive their code.
        QPluginLoader loader(path);
        auto *plugin = qobject_cast<NuvarDriverPlugin *>(loader.instance());
        if (!plugin)
            return fail(QStringLiteral("%1 is not a driver library: %2").arg(path, loader.errorString()));
        const QStringList classes = plugin->driverClasses();
        const QString wanted = className.isEmpty() ? classes.value(0) : className;
        if (auto driver = plugin->createDriver(wanted))
            return driver;
        return fail(QStringLiteral("%1 has no driver class \"%2\"").arg(path, wanted));
    }
    return fail(QStringLiteral("driver library %1 not found in %2").arg(fileName, pluginDirectories().join(QLatin1String(", "))));
}
