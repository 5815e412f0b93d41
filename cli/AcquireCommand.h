// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTextStream>

// "acquire --port ... -o OUT.csv": acquires blocks from the board through the
// driver the program would bind, saves each as a time-domain data file and
// prints its statistics as "analyze" does. Returns the process exit code.
namespace AcquireCommand {

enum ExitCode { Success = 0, FileProblem = 1, UsageProblem = 2, BoardProblem = 3, Interrupted = 130 };

int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace AcquireCommand
