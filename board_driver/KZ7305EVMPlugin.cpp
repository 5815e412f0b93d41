// SPDX-License-Identifier: GPL-3.0-or-later
#include "KZ7305EVMPlugin.h"

#include "kz7305.h"

QStringList KZ7305EVMPlugin::driverClasses() const
{
    return {QStringLiteral("kz7305")};
}

std::unique_ptr<NuvarDriverClass> KZ7305EVMPlugin::createDriver(const QString &className)
{
    if (className == QLatin1String("kz7305"))
        return std::make_unique<kz7305>();
    return nullptr;
}
