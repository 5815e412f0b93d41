// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtBenchmarkMain.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int runQtBenchmarks(int argc, char **argv, benchmark::BenchmarkReporter *reporter)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks(reporter);
    benchmark::Shutdown();
    return 0;
}
