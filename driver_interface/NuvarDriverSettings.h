// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverExport.h"

#include <QString>
#include <QStringList>

// An optional part of the contract: the named settings a driver keeps beyond
// the contract's members (its setup dialog's choices, say), offered as texts so
// a program that knows no board can store them and give them back at the next
// start. A driver that offers settings also derives from this class; the
// program finds it at run time with dynamic_cast.
class NUVARDRIVER_EXPORT NuvarDriverSettings
{
public:
    // A name a driver of a board on a serial line takes beside its own ones:
    // the device path of the board's port, whole (':' and spaces included),
    // which the driver then opens; false when it cannot. It is not among
    // SettingNames(): a device path given for one run is no setting to keep.
    static constexpr const char *PortPath = "PortPath";

    virtual ~NuvarDriverSettings();

    // The names, in the order they are best given back.
    virtual QStringList SettingNames() const = 0;
    // The setting's value as text (numbers with '.' whatever the locale);
    // empty for an unknown name.
    virtual QString SettingValue(const QString &name) const = 0;
    // Takes a value from its text; false, with nothing changed, when the driver
    // refuses the name or the value.
    virtual bool setSettingValue(const QString &name, const QString &value) = 0;
};
