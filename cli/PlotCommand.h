// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTextStream>

// "plot FILE [options] -o OUT": loads a time-domain data file, draws the chosen
// view as the plot window does (titles, marks, and the figures a printout
// carries in its subtitle) and writes it as PNG, SVG or PDF. Needs a
// QApplication. Returns the process exit code.
namespace PlotCommand {

int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace PlotCommand
