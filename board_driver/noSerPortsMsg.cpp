// SPDX-License-Identifier: GPL-3.0-or-later
#include "noSerPortsMsg.h"

noSerPortsMsg::noSerPortsMsg(QWidget *parent)
    : driverMessageWindow(
        QStringLiteral("No serial ports found"),
        {QStringLiteral("I can't seem to find any free serial ports!"),
         QStringLiteral("Either you don't actually have any serial ports on your system (oops), you've got them "
                        "disabled in the BIOS (what for?), or (most likely) they're all being used by other programs."),
         QStringLiteral("Unfortunately, I can't talk to the board without a serial port, so free one up and try again.")},
        QStringLiteral("Darn!"), parent)
{
}
