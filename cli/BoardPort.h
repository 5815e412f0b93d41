// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class NuvarDriverSettings;

// The board's serial port as --port names it: a number of the program's port
// table (COMn), or a device path.
struct BoardPort {
    int number = 0;
    QString path;

    // Empty with problem set when there is no such port.
    static std::optional<BoardPort> find(const QString &port, QString &problem);
    // Opens the port in the driver: a path whole, so no character of it is
    // taken for a separator; a number of the port table, which is open once
    // it has a path.
    bool open(NuvarDriverSettings &settings) const;
};
