// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "driverMessageWindow.h"

// Shown by the setup dialog when no serial port is free.
class noSerPortsMsg : public driverMessageWindow
{
    Q_OBJECT

public:
    explicit noSerPortsMsg(QWidget *parent = nullptr);
};
