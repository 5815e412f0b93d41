// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class BoardSession;

// How the tool's board commands (acquire, sweep, serve) reach the board: the
// driver the program binds (its class identifier from the program's
// settings), opened on the port --port names. Each step gives a one-line
// problem when it fails.
namespace BoardPort {

// Creates the driver into board; it must offer named settings.
bool loadDriver(BoardSession &board, QString &problem);
// Binds the loaded driver and opens the port: a device path, whole, or
// COM1 .. COM16 of the program's port table.
bool connect(BoardSession &board, const QString &port, QString &problem);

} // namespace BoardPort
