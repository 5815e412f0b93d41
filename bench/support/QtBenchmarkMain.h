// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace benchmark {
class BenchmarkReporter;
}

// The main() of a benchmark of Qt code: a QApplication (offscreen unless
// QT_QPA_PLATFORM says otherwise) around Google Benchmark's run, reported by
// reporter when one is given.
int runQtBenchmarks(int argc, char **argv, benchmark::BenchmarkReporter *reporter = nullptr);
