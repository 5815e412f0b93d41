// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPrinter;

// The printer chosen in Page Setup, used by every later print.
namespace SharedPrinter {
QPrinter &printer();
}
