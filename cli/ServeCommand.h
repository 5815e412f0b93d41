// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTextStream>

// "serve --port ...": the board as a remote-controlled instrument on a TCP
// port until interrupted. The first line of standard output is the TCP port
// listened on. Returns the process exit code (those of acquire).
namespace ServeCommand {

int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace ServeCommand
