// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverClass.h"

// The KZ7305 evaluation board's driver.
class kz7305 : public NuvarDriverClass
{
public:
    void DriverOpen(NuvarDriverEvents &evInterface) override;
    void DriverClose() override;
    void setBoardName(const QString &value) override;
    QString BoardName() override;

private:
    NuvarDriverEvents *m_events = nullptr;
    QString m_boardName;
};
