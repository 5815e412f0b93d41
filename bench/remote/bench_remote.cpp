// SPDX-License-Identifier: GPL-3.0-or-later
// Round trips of the remote control over localhost, as a client sees them:
// from writing a command to the end of its answer. "kz7305evm-cli serve" runs
// on the simulated board with one block of 43 690 samples acquired; the goals
// are a median under 1 ms for *IDN? and FETC:FIG? snr, and under 20 ms for
// FETC:DATA? of the whole block.
#include "QtBenchmarkMain.h"
#include "SimulatedBoard.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// The simulated board and a server on it, started once for every benchmark.
struct Bench {
    QTemporaryDir home;
    SimulatedBoard board;
    QProcess server;
    QTcpSocket client;

    bool start()
    {
        if (board.start().isEmpty())
            return false;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        server.setProcessEnvironment(environment);
        server.start(QStringLiteral(KZ_CLI_PATH), {QStringLiteral("serve"), QStringLiteral("--port"),
                                                   board.devicePath(), QStringLiteral("--listen"),
                                                   QStringLiteral("127.0.0.1:0"), QStringLiteral("--data-dir"),
                                                   home.path()});
        if (!server.waitForReadyRead(10000))
            return false;
        const quint16 port = quint16(server.readLine().trimmed().toUInt());
        client.connectToHost(QStringLiteral("127.0.0.1"), port);
        return client.waitForConnected(5000)
               && exchange("CONF:SAMP 43690;CONF:RATE 50000;INIT;*OPC?\n", 2) == "1\n";
    }

    ~Bench()
    {
        client.abort();
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            if (!server.waitForFinished(5000))
                server.kill();
            server.waitForFinished();
        }
    }

    // Sends command and reads its answer: a line, or a definite-length block
    // of at least minimum bytes and its LF.
    QByteArray exchange(const QByteArray &command, qsizetype minimum)
    {
        client.write(command);
        QByteArray answer;
        while (true) {
            if (!client.bytesAvailable() && !client.waitForReadyRead(60000))
                return {};
            answer += client.readAll();
            if (answer.size() >= minimum && answer.endsWith('\n'))
                return answer;
        }
    }
};

Bench *bench()
{
    static std::unique_ptr<Bench> shared;
    if (!shared) {
        shared = std::make_unique<Bench>();
        if (!shared->start())
            shared.reset();
    }
    return shared.get();
}

void BM_RoundTrip(benchmark::State &state, const char *command, qsizetype answerBytes, double goalMs)
{
    Bench *server = bench();
    if (!server) {
        state.SkipWithError("the server did not start on the simulated board");
        return;
    }
    std::vector<double> times;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const QByteArray answer = server->exchange(command, answerBytes);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        if (answer.size() < answerBytes) {
            state.SkipWithError("no whole answer");
            return;
        }
        state.SetIterationTime(seconds);
        times.push_back(seconds);
    }
    std::nth_element(times.begin(), times.begin() + std::ptrdiff_t(times.size() / 2), times.end());
    const double median = times[times.size() / 2];
    state.counters["median_ms"] = median * 1e3;
    state.counters["goal_fraction"] = median * 1e3 / goalMs; // below 1: the median meets its goal
}
BENCHMARK_CAPTURE(BM_RoundTrip, idn, "*IDN?\n", 2, 1.0)->Iterations(2000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RoundTrip, figure_snr, "FETC:FIG? snr\n", 2, 1.0)
    ->Iterations(2000)->UseManualTime()->Unit(benchmark::kMicrosecond);
// "#6174760" and 43 690 codes of 4 bytes.
BENCHMARK_CAPTURE(BM_RoundTrip, data_43690, "FETC:DATA?\n", 8 + 43690 * 4, 20.0)
    ->Iterations(200)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks(argc, argv);
}
