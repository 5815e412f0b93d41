// SPDX-License-Identifier: GPL-3.0-or-later
// A characterisation run on the simulated board paced at 9600 baud both ways,
// through the board session, the driver and the run as the program and the
// command-line tool hold them (the tool adds only the printing of each point).
// Two figures: how close the run comes to the line's limit, and whether
// memory and CPU stay flat over many points of short blocks.
#include "BoardSession.h"
#include "CharacterisationRun.h"
#include "NuvarDriverSettings.h"
#include "QtBenchmarkMain.h"
#include "SimulatedBoard.h"
#include "csrdrv.h"
#include "kz7305.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int Baud = 9600;
constexpr double SecondsPerByte = 10.0 / Baud; // start bit, 8 data bits, stop bit
// The simulated board ends an acquisition at the first of these ticks at or
// after samples / rate, and sends a progress notification at every earlier one.
constexpr int TickMs = 100;
const QStringList PacedLine{QStringLiteral("--baud"), QString::number(Baud), QStringLiteral("--pace-input"),
                            QStringLiteral("--progress-ms"), QString::number(TickMs)};

// A field of /proc/self/status in MB ("VmRSS", "VmHWM"), or -1.
double statusMegabytes(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The acquisition of one block as the simulated board times it.
double acquisitionSeconds(int samples, double rate)
{
    const double tick = TickMs / 1000.0;
    return std::max(1.0, std::ceil(samples / rate / tick)) * tick;
}

struct RunOutcome {
    bool completed = false;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    qint64 lineBytes = 0; // both ways
    QList<PointResult> results;
    SampleBlock lastBlock;
};

// The board session with the board's driver on a paced simulated board, and
// the bytes its link writes and reads.
class PacedBoard
{
public:
    bool open()
    {
        const QString path = m_simulator.start(PacedLine);
        if (path.isEmpty())
            return false;
        auto driver = std::make_unique<kz7305>();
        csrdrv *link = driver->theCsrDrv();
        QObject::connect(link, &csrdrv::bytesSent, link, [this](const QByteArray &bytes) { m_bytes += bytes.size(); });
        QObject::connect(link, &csrdrv::bytesReceived, link,
                         [this](const QByteArray &bytes) { m_bytes += bytes.size(); });
        m_board.adopt(std::move(driver));
        m_board.open();
        return m_board.namedSettings()->setSettingValue(QString::fromLatin1(NuvarDriverSettings::PortPath), path);
    }

    RunOutcome run(const RunPlan &plan)
    {
        CharacterisationRun run(m_board);
        QEventLoop loop;
        RunOutcome outcome;
        QObject::connect(&run, &CharacterisationRun::blockKept, &loop,
                         [&outcome](int, int, const SampleBlock &block) { outcome.lastBlock = block; });
        QObject::connect(&run, &CharacterisationRun::finished, &loop, [&](CharacterisationRun::Ending ending) {
            outcome.completed = ending == CharacterisationRun::Ending::Completed;
            loop.quit();
        });
        m_bytes = 0;
        const double cpuBefore = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        if (!run.start(plan))
            return outcome;
        loop.exec();
        outcome.wallSeconds = clock.nsecsElapsed() / 1e9;
        outcome.cpuSeconds = cpuSeconds() - cpuBefore;
        outcome.lineBytes = m_bytes;
        outcome.results = run.results();
        const bool allMeasured = std::none_of(outcome.results.cbegin(), outcome.results.cend(),
                                              [](const PointResult &point) { return point.failed(); });
        outcome.completed = outcome.completed && allMeasured && outcome.results.size() == plan.points().size();
        return outcome;
    }

private:
    SimulatedBoard m_simulator;
    BoardSession m_board;
    qint64 m_bytes = 0;
};

// Line time plus the board's acquisitions over the run's wall time. Every
// exchange waits for the last answer, so nothing of the line overlaps; the
// rates keep each acquisition within one tick of the board, so no progress
// notification travels during one (it would be counted twice). At most 1.
void BM_RunAtLineLimit(benchmark::State &state)
{
    RunPlan plan;
    plan.channels = {1, 2};
    plan.averaging = {0};
    plan.rates = {5000, 20833}; // 256 samples in 51 and 12 ms
    plan.samples = 256;
    plan.blocks = 2;
    plan.settleBlocks = 1;
    plan.tone = true;
    PacedBoard board;
    if (!board.open()) {
        state.SkipWithError("simulated board not ready");
        return;
    }
    for (auto _ : state) {
        const RunOutcome outcome = board.run(plan);
        if (!outcome.completed) {
            state.SkipWithError("the run did not measure every point");
            return;
        }
        double acquisition = 0;
        const QList<RunPlan::Point> planned = plan.points();
        for (qsizetype i = 0; i < planned.size(); ++i) {
            const double rate = outcome.results[i].rate; // read back: the rate the board ran at
            if (std::abs(rate - planned[i].rate) > 1e-3 * planned[i].rate) {
                state.SkipWithError("a rate read back is not the plan's");
                return;
            }
            if (plan.samples / rate > TickMs / 1000.0) {
                state.SkipWithError("an acquisition spans progress ticks: its notifications would count twice");
                return;
            }
            acquisition += plan.blocksPerPoint() * acquisitionSeconds(plan.samples, rate);
        }
        const double line = outcome.lineBytes * SecondsPerByte;
        if (line + acquisition > outcome.wallSeconds) {
            state.SkipWithError("the line ran faster than its baud rate: the instrument is wrong");
            return;
        }
        state.SetIterationTime(outcome.wallSeconds);
        state.counters["points"] = double(outcome.results.size());
        state.counters["line_s"] = line;
        state.counters["acquisition_s"] = acquisition;
        state.counters["wall_s"] = outcome.wallSeconds;
        state.counters["line_and_acq_per_wall"] = (line + acquisition) / outcome.wallSeconds;
        state.counters["estimate_per_wall"] = plan.estimatedSeconds() / outcome.wallSeconds;
    }
}
BENCHMARK(BM_RunAtLineLimit)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// A 64-point run of 256-sample blocks (4 inputs, 4 averaging settings, 4
// rates, one block a point): the process's memory before and after, and its
// CPU time as a share of the run's (the simulated board is another process).
// KZ_SWEEP_RATES sets how many of the rates to take (default 4: 64 points).
void BM_RunMemoryAndCpu(benchmark::State &state)
{
    RunPlan plan;
    plan.channels = {1, 2, 3, 4};
    plan.averaging = {0, 2, 4, 6};
    plan.rates = {1000, 2000, 5000, 20833};
    bool ok = false;
    const int rates = qEnvironmentVariableIntValue("KZ_SWEEP_RATES", &ok);
    if (ok && rates >= 1 && rates < plan.rates.size())
        plan.rates = plan.rates.mid(0, rates);
    plan.samples = 256;
    plan.blocks = 1;
    plan.settleBlocks = 0;
    plan.tone = true;
    PacedBoard board;
    if (!board.open()) {
        state.SkipWithError("simulated board not ready");
        return;
    }
    for (auto _ : state) {
        const double rssBefore = statusMegabytes("VmRSS");
        const RunOutcome outcome = board.run(plan);
        if (!outcome.completed) {
            state.SkipWithError("the run did not measure every point");
            return;
        }
        state.SetIterationTime(outcome.wallSeconds);
        state.counters["points"] = double(outcome.results.size());
        state.counters["rss_growth_MB"] = statusMegabytes("VmRSS") - rssBefore;
        state.counters["peak_over_start_MB"] = statusMegabytes("VmHWM") - rssBefore;
        state.counters["cpu_per_wall_pct"] = 100 * outcome.cpuSeconds / outcome.wallSeconds;
        const double blocks = double(outcome.results.size()) * plan.blocksPerPoint();
        state.counters["cpu_ms_per_block"] = 1e3 * outcome.cpuSeconds / blocks;
        state.counters["cpu_us_per_line_byte"] = 1e6 * outcome.cpuSeconds / double(outcome.lineBytes);
        // The share of that CPU the figures take: the run's analysis of its last block, again.
        const double analysisBefore = cpuSeconds();
        for (int i = 0; i < 20; ++i)
            benchmark::DoNotOptimize(CharacterisationRun::figuresOf(outcome.lastBlock, plan));
        state.counters["analysis_cpu_ms_per_block"] = 1e3 * (cpuSeconds() - analysisBefore) / 20;
    }
}
BENCHMARK(BM_RunMemoryAndCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks(argc, argv);
}
