// SPDX-License-Identifier: GPL-3.0-or-later
#include "SharedPrinter.h"

#include <QPrinter>

QPrinter &SharedPrinter::printer()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}
