// SPDX-License-Identifier: GPL-3.0-or-later
#include "stupidTimeoutMsg.h"

stupidTimeoutMsg::stupidTimeoutMsg(QWidget *parent)
    : driverMessageWindow(
        QStringLiteral("Response timeout!"),
        {QStringLiteral("Ooops!  I haven't received a response from the board in over five seconds! I'm going to "
                        "assume it's not speaking to me."),
         QStringLiteral("Pressing the reset button on the board should make it talk again. Unfortunately, you also "
                        "have to restart the program now. This is entirely our fault. We will fix this in the Next "
                        "Version (TM).")},
        QStringLiteral("You bastards!"), parent)
{
}
