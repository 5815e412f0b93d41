// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class BoardSession;

// How the tool's board commands reach the board: the driver the program
// binds (its class identifier from the program's settings), opened on the
// port --port names. Each step gives a one-line problem when it fails.
namespace BoardConnection {

// Creates the driver into board; it must offer named settings.
bool load(BoardSession &board, QString &problem);
// Opens the loaded driver and the port: a device path, or COM1 .. COM16 of
// the program's port table.
bool open(BoardSession &board, const QString &port, QString &problem);

} // namespace BoardConnection
