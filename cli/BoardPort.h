// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class BoardSession;
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
    // Names the board after classId, binds the session's driver and opens
    // the port in it; what went wrong, when something did.
    std::optional<QString> bind(BoardSession &board, const QString &classId, const QString &given) const;

    // The class identifier of the driver the program binds: its settings',
    // else the shipped driver's.
    static QString driverClassId();
};
