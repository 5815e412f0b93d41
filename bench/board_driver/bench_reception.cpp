// SPDX-License-Identifier: GPL-3.0-or-later
// Block reception from the simulated board on a pseudo-terminal, through the
// driver as the program runs it: with the serial monitor logging the line,
// and without it.
#include "NuvarDriverEvents.h"
#include "SimulatedBoard.h"
#include "csrdrv.h"
#include "kz7305.h"
#include "QtBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <memory>

namespace {

// Quits its loop on the event it waits for.
class EventWaiter : public NuvarDriverEvents
{
public:
    void DriverEvent(EventEnum evType) override
    {
        if (evType == m_awaited || evType == EVENT_RX_ERROR || evType == EVENT_ACQ_ERROR) {
            m_last = evType;
            m_loop.quit();
        }
    }
    // Runs f and waits up to timeoutMs for evType; true if it came.
    template <typename F>
    bool run(EventEnum evType, F &&f, int timeoutMs)
    {
        m_awaited = evType;
        m_last = EVENT_COMM_IDLE;
        QTimer::singleShot(timeoutMs, &m_loop, &QEventLoop::quit);
        f();
        if (m_last == EVENT_COMM_IDLE)
            m_loop.exec();
        return m_last == evType;
    }

private:
    QEventLoop m_loop;
    EventEnum m_awaited = EVENT_RX_FINISH;
    EventEnum m_last = EVENT_COMM_IDLE;
};

struct Bench {
    SimulatedBoard board;
    std::unique_ptr<kz7305> driver;
    EventWaiter events;

    // A driver on a fresh board that has acquired samples, ready to receive.
    bool open(const QStringList &options, std::int32_t samples)
    {
        const QString path = board.start(options);
        if (path.isEmpty())
            return false;
        driver = std::make_unique<kz7305>();
        driver->theCsrDrv()->setPortTable(portTable({path}));
        driver->DriverOpen(events);
        driver->setPortNumber(1);
        driver->setSampleRate(1.0e6); // a short acquisition
        driver->setSamples(samples);
        driver->Configure();
        return events.run(EVENT_ACQ_FINISH, [this] { driver->StartAcquisition(); }, 30000);
    }
};

int blocksOf(std::int32_t samples)
{
    return (samples + kz7305::MaxBlockSamples - 1) / kz7305::MaxBlockSamples;
}

// Bytes on the line for one reception: per block a long-form block read
// request (header, 8 address bytes, length, CRC) and its response (header,
// length, the sample bytes, CRC).
double lineBytes(std::int32_t samples)
{
    double bytes = 0;
    for (std::int32_t left = samples; left > 0; left -= kz7305::MaxBlockSamples) {
        const int count = std::min(left, kz7305::MaxBlockSamples);
        bytes += 12 + (4 + 3 * count);
    }
    return bytes;
}

void BM_UnpacedReception(benchmark::State &state)
{
    const std::int32_t samples = 43690;
    Bench bench;
    if (!bench.open({QStringLiteral("--baud"), QStringLiteral("0")}, samples)) {
        state.SkipWithError("simulated board not ready");
        return;
    }
    // Argument 0: without the serial monitor's logging, the driver and link alone.
    if (state.range(0) == 0) {
        QObject::disconnect(bench.driver->theCsrDrv(), &csrdrv::bytesSent, nullptr, nullptr);
        QObject::disconnect(bench.driver->theCsrDrv(), &csrdrv::bytesReceived, nullptr, nullptr);
    }
    for (auto _ : state) {
        if (!bench.events.run(EVENT_RX_FINISH, [&] { bench.driver->StartDataReceive(0, samples); }, 60000)) {
            state.SkipWithError("reception failed");
            return;
        }
    }
    state.counters["samples_per_s"] = benchmark::Counter(double(samples), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["us_per_85_block"] = benchmark::Counter(
        1.0e6 / blocksOf(samples), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UnpacedReception)->ArgName("monitor")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_PacedReception9600(benchmark::State &state)
{
    const std::int32_t samples = 4096;
    const int baud = 9600;
    Bench bench;
    if (!bench.open({QStringLiteral("--baud"), QString::number(baud)}, samples)) {
        state.SkipWithError("simulated board not ready");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (!bench.events.run(EVENT_RX_FINISH, [&] { bench.driver->StartDataReceive(0, samples); }, 120000)) {
            state.SkipWithError("reception failed");
            return;
        }
        seconds += clock.nsecsElapsed() / 1.0e9;
    }
    const double lineSeconds = lineBytes(samples) * 10.0 / baud;
    state.counters["line_s"] = lineSeconds;
    state.counters["efficiency"] = lineSeconds / (seconds / double(state.iterations()));
}
BENCHMARK(BM_PacedReception9600)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks(argc, argv);
}
