// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverPlugin.h"

#include <QObject>

// Root object of the KZ7305EVM driver library: creates kz7305 drivers.
class KZ7305EVMPlugin : public QObject, public NuvarDriverPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID NuvarDriverPlugin_iid)
    Q_INTERFACES(NuvarDriverPlugin)

public:
    QStringList driverClasses() const override;
    std::unique_ptr<NuvarDriverClass> createDriver(const QString &className) override;
};
