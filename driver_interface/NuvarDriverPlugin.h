// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QtPlugin>
#include <memory>

class NuvarDriverClass;

// What a driver library exports: a Qt plug-in whose root object implements this
// interface and creates driver objects by class name. The interface id below is
// the contract's fixed identifier; a library built against another contract is
// refused by the plug-in loader.
class NuvarDriverPlugin
{
public:
    virtual ~NuvarDriverPlugin() = default;

    // Class names this library can create; the first is its default class.
    virtual QStringList driverClasses() const = 0;
    // A new driver of the named class, or nullptr when the library has no such class.
    virtual std::unique_ptr<NuvarDriverClass> createDriver(const QString &className) = 0;
};

#define NuvarDriverPlugin_iid "org.kz7305evm.NuvarDriverClass/{6f1c3a52-3e0b-4c8e-9a57-0d2b7e41c9a3}"
Q_DECLARE_INTERFACE(NuvarDriverPlugin, NuvarDriverPlugin_iid)
