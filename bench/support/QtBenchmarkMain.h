// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace benchmark {
class BenchmarkReporter;
}

// The main() of a benchmark of Qt code: a QApplication (offscreen unless
// QT_QPA_PLATFORM says otherwise) around Google Benchmark's run, reported by
// reporter when one is given. beforeGui, when given, runs once the benchmark
// flags are read and before the application is constructed: the place for
// runs that compare a process that has not started the GUI with one that has.
int runQtBenchmarks(int argc, char **argv, benchmark::BenchmarkReporter *reporter = nullptr,
                    const std::function<void()> &beforeGui = {});
