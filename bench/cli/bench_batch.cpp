// SPDX-License-Identifier: GPL-3.0-or-later
// Batch analysis with the command-line tool: one "analyze --json" process for
// a folder of 43 690-sample captures against a loop that starts one process
// per file, as scripts did before. Both take the same files and must print the
// same JSON lines. The work happens in child processes, so the figures are
// wall-clock time and the children's CPU time (getrusage), not the benchmark
// thread's. KZ_BATCH_FILES sets the number of files (default 200).
#include "DataFileWriter.h"
#include "QtBenchmarkMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr int BlockSize = 43690;

int fileCount()
{
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("KZ_BATCH_FILES", &ok);
    return ok && count > 0 ? count : 200;
}

// Captures of a tone with noise, each with its own noise, in a temporary folder.
class Captures
{
public:
    Captures()
    {
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0, 40);
        std::vector<std::int32_t> codes(BlockSize);
        const DataFileHeader header{QStringLiteral("KZ7305"), QDateTime::currentDateTime(), 24, 2.98023223876953e-07,
                                    BlockSize, 20833};
        for (int file = 0; file < fileCount(); ++file) {
            for (int i = 0; i < BlockSize; ++i) {
                const double phase = 2 * std::numbers::pi * 1001.3 * i / 32768;
                codes[static_cast<std::size_t>(i)] =
                    static_cast<std::int32_t>(std::lround(4000000 * std::sin(phase) + noise(random)));
            }
            const QString path = m_dir.filePath(QStringLiteral("capture-%1.csv").arg(file, 4, 10, QLatin1Char('0')));
            if (!DataFileWriter::save(path, DataFileWriter::timeDomain(header, {}, codes), nullptr))
                return;
            m_paths << path;
        }
    }

    const QStringList &paths() const { return m_paths; }

private:
    QTemporaryDir m_dir;
    QStringList m_paths;
};

const Captures &captures()
{
    static const Captures files;
    return files;
}

// The tool's JSON lines for files, or nothing when it fails.
std::optional<QByteArray> analyze(const QStringList &files, const QStringList &options)
{
    QProcess process;
    process.start(QStringLiteral(KZ_CLI_PATH),
                  QStringList{QStringLiteral("analyze")} + files + options + QStringList{QStringLiteral("--json")});
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval &t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing {
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

template<typename Work>
Timing timed(Work &&work)
{
    const double cpuBefore = childrenCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    work();
    return Timing{static_cast<double>(clock.nsecsElapsed()) / 1e9, childrenCpuSeconds() - cpuBefore};
}

// options: the view and its options after "analyze FILE...".
void BM_BatchAgainstSingleCalls(benchmark::State &state, const QStringList &options)
{
    const QStringList &files = captures().paths();
    if (files.size() != fileCount()) {
        state.SkipWithError("cannot write the captures");
        return;
    }
    const auto count = static_cast<double>(files.size());
    for (auto _ : state) {
        std::optional<QByteArray> batchOutput;
        const Timing batch = timed([&] { batchOutput = analyze(files, options); });
        QByteArray loopOutput;
        bool loopFailed = false;
        const Timing loop = timed([&] {
            for (const QString &file : files) {
                const std::optional<QByteArray> single = analyze({file}, options);
                loopFailed = loopFailed || !single;
                loopOutput += single.value_or(QByteArray());
            }
        });
        // The instrument check: both did the whole work and found the same.
        if (!batchOutput || loopFailed || batchOutput->count('\n') != files.size() || *batchOutput != loopOutput) {
            state.SkipWithError("the batch and the single calls disagree");
            return;
        }
        state.SetIterationTime(batch.wallSeconds); // the time column: the batch process's
        state.counters["files"] = count;
        state.counters["batch_files_per_s"] = count / batch.wallSeconds;
        state.counters["single_files_per_s"] = count / loop.wallSeconds;
        state.counters["batch_cpu_ms_per_file"] = batch.cpuSeconds * 1e3 / count;
        state.counters["single_cpu_ms_per_file"] = loop.cpuSeconds * 1e3 / count;
        // Below 1: the batch's share of the loop's time.
        state.counters["batch_over_loop_wall"] = batch.wallSeconds / loop.wallSeconds;
        state.counters["batch_over_loop_cpu"] = batch.cpuSeconds / loop.cpuSeconds;
    }
}
BENCHMARK_CAPTURE(BM_BatchAgainstSingleCalls, time_view, QStringList())
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_BatchAgainstSingleCalls, fft_view_hann,
                  QStringList{QStringLiteral("--view=fft"), QStringLiteral("--window=hann")})
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks(argc, argv);
}
