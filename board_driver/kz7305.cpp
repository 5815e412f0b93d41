// SPDX-License-Identifier: GPL-3.0-or-later
#include "kz7305.h"

void kz7305::DriverOpen(NuvarDriverEvents &evInterface)
{
    m_events = &evInterface;
}

void kz7305::DriverClose()
{
    m_events = nullptr;
}

void kz7305::setBoardName(const QString &value)
{
    m_boardName = value;
}

QString kz7305::BoardName()
{
    return m_boardName;
}
