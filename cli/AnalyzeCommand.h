// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTextStream>

// "analyze FILE... [options]": loads each time-domain data file as the plot
// window does, analyses the chosen view, prints its figures as text, JSON Lines
// or a CSV table and, with --save (one file only), writes the view's data file.
// Returns the process exit code: FileProblem when any file failed.
namespace AnalyzeCommand {

enum ExitCode { Success = 0, FileProblem = 1, UsageProblem = 2 };

int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace AnalyzeCommand
