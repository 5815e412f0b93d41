// SPDX-License-Identifier: GPL-3.0-or-later
// Block reception from the simulated board on a pseudo-terminal, through the
// driver as the program runs it. First the instrument: the simulated line's
// pacing alone, without the driver. Then reception unpaced (with the serial
// monitor logging the line and without it), paced at 9600 baud, and the cost
// of damaged answers on a paced line.
#include "NuvarDriverEvents.h"
#include "SimulatedBoard.h"
#include "csr232packet.h"
#include "csrdrv.h"
#include "driverMessageWindow.h"
#include "kz7305.h"
#include "kz7305RegisterMap.h"
#include "QtBenchmarkMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace kz7305RegisterMap;

constexpr int Baud = 9600;
constexpr double SecondsPerByte = 10.0 / Baud; // start bit, 8 data bits, stop bit
const QStringList PacedLine{QStringLiteral("--baud"), QString::number(Baud), QStringLiteral("--pace-input")};

// ---- The instrument: the simulator's pacing, seen from a bare file descriptor.

// Register 0 of a page of the board, in the long address form.
QByteArray boardAddress(quint16 page)
{
    QByteArray address(8, '\0');
    qToBigEndian<quint16>(quint16(BoardNode), address.data());
    qToBigEndian<quint16>(page, address.data() + 2);
    return address;
}

struct Exchange {
    QByteArray request;
    int answerBytes;
};

// A long-form block read of 255 bytes, answered by a read response of
// header, length byte, 255 data bytes and CRC.
Exchange blockRead()
{
    csr232packet packet;
    packet.setPacketType(2);
    packet.setAddressBytes(boardAddress(quint16(SamplePage)));
    packet.setVarLength(255);
    packet.buildPacket();
    return {packet.dataBuffer(), 1 + 1 + 255 + 2};
}

// A long-form quadlet write of register 0, acknowledged by a 5-byte status packet.
Exchange quadletWrite()
{
    csr232packet packet;
    packet.setPacketType(3);
    packet.setAddressBytes(boardAddress(quint16(ControlPage)));
    packet.setOperandSize(1);
    packet.setPayloadSize(4);
    packet.buildPacket();
    return {packet.dataBuffer(), 5};
}

// Reads until count bytes have arrived; false on silence or a closed line.
bool awaitBytes(int fd, qint64 count)
{
    pollfd waiting {fd, POLLIN, 0};
    char buffer[4096];
    while (count > 0 && ::poll(&waiting, 1, 10000) > 0) {
        const ssize_t got = ::read(fd, buffer, size_t(std::min<qint64>(count, qint64(sizeof buffer))));
        if (got <= 0)
            return false;
        count -= got;
    }
    return count == 0;
}

// How the bare host below talks to the simulator.
enum class Exchanges {
    AnswersBound, // block reads written at once: the answers keep the line busy
    RequestsBound, // register writes written at once: the requests keep it busy
    Lockstep, // block reads one at a time, each after the last answer, as the driver does
};

// The seconds n exchanges take, or a negative value when the answers fell short.
double timeExchanges(const QString &device, Exchanges kind, const Exchange &exchange, int n)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return -1;
    termios raw {};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    const auto send = [fd](const QByteArray &bytes) {
        return ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    };
    QElapsedTimer clock;
    clock.start();
    bool complete = true;
    if (kind == Exchanges::Lockstep) {
        for (int i = 0; i < n && complete; ++i)
            complete = send(exchange.request) && awaitBytes(fd, exchange.answerBytes);
    } else {
        complete = send(exchange.request.repeated(n)) && awaitBytes(fd, qint64(n) * exchange.answerBytes);
    }
    const double seconds = clock.nsecsElapsed() / 1.0e9;
    ::close(fd);
    return complete ? seconds : -1;
}

// The line time of n identical exchanges. Written at once, each answer goes out
// once its request has come in and the previous answer has gone out, so the
// line is busy for the longer of (first request, all answers) and (all
// requests, last answer); in lockstep every request and answer in turn.
double lineSeconds(Exchanges kind, const Exchange &exchange, int n)
{
    const double r = double(exchange.request.size());
    const double a = double(exchange.answerBytes);
    const double bytes = kind == Exchanges::Lockstep ? n * (r + a) : std::max(r + n * a, n * r + a);
    return bytes * SecondsPerByte;
}

void BM_SimulatorPacing(benchmark::State &state)
{
    const auto kind = Exchanges(state.range(0));
    const Exchange exchange = kind == Exchanges::RequestsBound ? quadletWrite() : blockRead();
    const int n = kind == Exchanges::RequestsBound ? 200 : 20;
    SimulatedBoard board;
    const QString device = board.start(PacedLine);
    double seconds = 0;
    for (auto _ : state) {
        const double run = timeExchanges(device, kind, exchange, n);
        if (run < 0) {
            state.SkipWithError("the simulator's answers fell short");
            return;
        }
        seconds += run;
    }
    const double line = lineSeconds(kind, exchange, n);
    state.counters["line_s"] = line;
    state.counters["line_per_wall"] = line / (seconds / double(state.iterations()));
}
// Arguments: 0 answers bound, 1 requests bound (only input pacing can show it), 2 lockstep.
BENCHMARK(BM_SimulatorPacing)->ArgName("exchanges")->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// ---- Reception through the driver.

// Quits its loop on the event it waits for, or on an error event.
class EventWaiter : public NuvarDriverEvents
{
public:
    EventWaiter()
    {
        m_deadline.setSingleShot(true);
        QObject::connect(&m_deadline, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    }
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
        m_deadline.start(timeoutMs); // one deadline per wait: an earlier one never cuts a later wait short
        f();
        if (m_last == EVENT_COMM_IDLE)
            m_loop.exec();
        m_deadline.stop();
        return m_last == evType;
    }

private:
    QEventLoop m_loop;
    QTimer m_deadline;
    EventEnum m_awaited = EVENT_RX_FINISH;
    EventEnum m_last = EVENT_COMM_IDLE;
};

// Clicks the button of every driver message window shown (the time-out
// window), as the user of the program would.
class MessageWindowDismisser
{
public:
    MessageWindowDismisser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *window = qobject_cast<driverMessageWindow *>(widget);
                if (window && window->isVisible() && !window->done())
                    window->button()->click();
            }
        });
        m_timer.start(50);
    }

private:
    QTimer m_timer;
};

struct Bench {
    SimulatedBoard board;
    std::unique_ptr<kz7305> driver;
    EventWaiter events;
    MessageWindowDismisser dismisser;
    qint64 bytesSent = 0;
    qint64 bytesReceived = 0;
    int requestsSent = 0;

    // A driver on a fresh board that has acquired samples, ready to receive.
    bool open(const QStringList &options, std::int32_t samples)
    {
        const QString path = board.start(options);
        if (path.isEmpty())
            return false;
        driver = std::make_unique<kz7305>();
        csrdrv *link = driver->theCsrDrv();
        link->setPortTable(portTable({path}));
        QObject::connect(link, &csrdrv::bytesSent, link, [this](const QByteArray &bytes) {
            bytesSent += bytes.size();
            ++requestsSent; // the link writes one packet at a time
        });
        QObject::connect(link, &csrdrv::bytesReceived, link,
                         [this](const QByteArray &bytes) { bytesReceived += bytes.size(); });
        driver->DriverOpen(events);
        driver->setPortNumber(1);
        driver->setSampleRate(1.0e6); // a short acquisition
        driver->setSamples(samples);
        driver->Configure();
        return events.run(EVENT_ACQ_FINISH, [this] { driver->StartAcquisition(); }, 30000);
    }

    // Receives the block as the program does: after a failed reception it
    // starts again from sample 0, up to three more times. Returns the seconds
    // the block took, or a negative value if it never arrived; the line
    // counters cover this reception only.
    double receive(std::int32_t samples, int timeoutMs)
    {
        bytesSent = bytesReceived = 0;
        requestsSent = 0;
        QElapsedTimer clock;
        clock.start();
        for (int attempt = 0; attempt <= 3; ++attempt) {
            if (events.run(EVENT_RX_FINISH, [&] { driver->StartDataReceive(0, samples); }, timeoutMs))
                return clock.nsecsElapsed() / 1.0e9;
        }
        return -1;
    }
};

int blocksOf(std::int32_t samples)
{
    return (samples + kz7305::MaxBlockSamples - 1) / kz7305::MaxBlockSamples;
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
        if (bench.receive(samples, 60000) < 0) {
            state.SkipWithError("reception failed");
            return;
        }
    }
    state.counters["samples_per_s"] = benchmark::Counter(double(samples), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["us_per_85_block"] = benchmark::Counter(
        1.0e6 / blocksOf(samples), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UnpacedReception)->ArgName("monitor")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Line time over wall time for a 4 096-sample block at 9600 baud, the line
// paced both ways. Requests and answers alternate, so the line time is every
// byte the link wrote and read at 10 bits a byte; a ratio above 1 would mean
// the line ran faster than its baud rate.
void BM_PacedReception9600(benchmark::State &state)
{
    const std::int32_t samples = 4096;
    Bench bench;
    if (!bench.open(PacedLine, samples)) {
        state.SkipWithError("simulated board not ready");
        return;
    }
    double seconds = 0;
    qint64 lineBytes = 0;
    for (auto _ : state) {
        const double run = bench.receive(samples, 120000);
        if (run < 0) {
            state.SkipWithError("reception failed");
            return;
        }
        seconds += run;
        lineBytes += bench.bytesSent + bench.bytesReceived;
    }
    state.counters["line_s"] = lineBytes * SecondsPerByte / double(state.iterations());
    state.counters["line_per_wall"] = lineBytes * SecondsPerByte / seconds;
}
BENCHMARK(BM_PacedReception9600)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// A 43 690-sample block at 9600 baud with one packet in 50 damaged (one bit
// flipped), as a ratio of the same block's time on a clean line.
void BM_DamagedAnswerCost(benchmark::State &state)
{
    const std::int32_t samples = 43690;
    const int timeoutMs = 900000;
    for (auto _ : state) {
        Bench clean;
        Bench damaged;
        if (!clean.open(PacedLine, samples)
            || !damaged.open(PacedLine + QStringList{QStringLiteral("--corrupt-every"), QStringLiteral("50")}, samples)) {
            state.SkipWithError("simulated board not ready");
            return;
        }
        const double cleanSeconds = clean.receive(samples, timeoutMs);
        const double damagedSeconds = damaged.receive(samples, timeoutMs);
        state.counters["clean_s"] = cleanSeconds;
        state.counters["requests_clean"] = clean.requestsSent;
        state.counters["requests_damaged"] = damaged.requestsSent;
        if (cleanSeconds < 0 || damagedSeconds < 0) {
            const std::string why = QStringLiteral("the %1 block did not arrive within the program's retries (clean block %2 s)")
                                    .arg(cleanSeconds < 0 ? QStringLiteral("clean") : QStringLiteral("damaged"))
                                    .arg(cleanSeconds, 0, 'f', 1)
                                    .toStdString();
            state.SkipWithError(why.c_str());
            return;
        }
        state.counters["damaged_s"] = damagedSeconds;
        state.counters["ratio"] = damagedSeconds / cleanSeconds;
    }
}
BENCHMARK(BM_DamagedAnswerCost)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks(argc, argv);
}
