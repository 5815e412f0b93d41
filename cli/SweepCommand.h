// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTextStream>

// "sweep --port ... --channels ... --averaging ... --rates ...": a
// characterisation run, one JSON Lines object or CSV row per point as it
// completes, the blocks and run.json in -o DIR. Returns the exit code.
namespace SweepCommand {

enum ExitCode { Success = 0, PointFailed = 1, FileProblem = 1, UsageProblem = 2, BoardGone = 3, Interrupted = 130 };

int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace SweepCommand
