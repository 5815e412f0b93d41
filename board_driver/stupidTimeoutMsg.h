// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "driverMessageWindow.h"

// Shown by the driver when the board did not answer a block request in time.
class stupidTimeoutMsg : public driverMessageWindow
{
    Q_OBJECT

public:
    explicit stupidTimeoutMsg(QWidget *parent = nullptr);
};
