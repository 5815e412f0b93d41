// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtBenchmarkMain.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int runQtBenchmarks(int argc, char **argv, benchmark::BenchmarkReporter *reporter,
                    const std::function<void()> &beforeGui)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The benchmark flags first (the rest stay for Qt), then Qt takes its own.
    benchmark::Initialize(&argc, argv);
    if (beforeGui)
        beforeGui();
    QApplication app(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks(reporter);
    benchmark::Shutdown();
    return 0;
}
