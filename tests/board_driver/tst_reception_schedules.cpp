// SPDX-License-Identifier: GPL-3.0-or-later
// Seeded random fault schedules on the line between the driver and a hostile
// board: answers lost, damaged, late (also after the guard time and the
// resend), sent twice, "not ready" and stray notifications, in any mix, over
// several acquisitions whose memories differ, some cancelled part-way.
// Invariant: a reception delivers the board's memory of its acquisition
// exactly, or fails cleanly (the error event, the error status, a cause).
//
// KZ_SCHEDULES="first:count" picks the seeds (default 1:200); every seed in
// the range runs, none is skipped. The link's times are shortened a
// hundredfold; the late-answer window is a thirtieth.
#include "DriverEventLog.h"
#include "HostileBoard.h"
#include "csrdrv.h"
#include "kz7305.h"

#include <QElapsedTimer>
#include <QtTest>

#include <random>

using Fault = HostileBoard::Fault;

namespace {

constexpr int MaxRetries = 3; // as the program retries a failed reception
// Late answers come up to six response times late (30 s at the real times),
// well inside the late-answer window even on a loaded machine.
constexpr int MaxLateMs = 300;

linkTiming shortTiming()
{
    linkTiming timing;
    timing.responseMs = 50;
    timing.stallMs = 40;
    timing.transmitPauseMs = 20;
    timing.guardQuietMs = 10;
    timing.guardLimitMs = 50;
    timing.lateAnswerMs = 1000;
    return timing;
}

struct Mix {
    double lose, damage, late, doubled, stray, notReady;
    int latencyMs; // every answer takes this long
};

struct Tally {
    int exact = 0;
    int failed = 0;
    int cancelled = 0;
};

} // namespace

class tst_reception_schedules : public QObject
{
    Q_OBJECT

private slots:
    void randomSchedules();

private:
    // One schedule; empty when the invariant held throughout.
    QString runSchedule(quint32 seed, Tally &tally);
};

QString tst_reception_schedules::runSchedule(quint32 seed, Tally &tally)
{
    std::mt19937 random(seed);
    const auto chance = [&random](double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; };
    const auto upTo = [&random](int most) { return std::uniform_int_distribution<int>(0, most)(random); };
    const linkTiming timing = shortTiming();

    // How often each fault strikes differs from schedule to schedule.
    Mix mix{};
    for (double *p : {&mix.lose, &mix.damage, &mix.late, &mix.doubled, &mix.stray, &mix.notReady})
        *p = chance(0.7) ? std::uniform_real_distribution<double>(0, 0.25)(random) : 0.0;
    mix.latencyMs = upTo(10);

    HostileBoard board;
    if (board.devicePath().isEmpty())
        return QStringLiteral("no pseudo-terminal");
    board.planFor = [&](const csr232packet &, int) {
        HostileBoard::Plan plan;
        plan.fault = chance(mix.lose)          ? Fault::Lose
                     : chance(mix.damage)      ? Fault::Damage
                     : chance(mix.notReady)    ? Fault::NotReady
                                               : Fault::None;
        plan.damagedByte = upTo(300);
        plan.doubled = chance(mix.doubled);
        plan.strayFirst = chance(mix.stray);
        plan.delayMs = mix.latencyMs + (chance(mix.late) ? upTo(MaxLateMs) : 0);
        return plan;
    };

    DriverEventLog log; // outlives the driver that reports to it
    int blocks = 0;
    kz7305 driver;
    driver.theCsrDrv()->setTiming(timing);
    driver.theCsrDrv()->setPortTable(portTable({board.devicePath()}));
    driver.DriverOpen(log);
    driver.setPortNumber(1);
    if (!driver.isPortOpen())
        return QStringLiteral("port not open");

    const int acquisitions = 2 + upTo(1);
    for (int acquisition = 0; acquisition < acquisitions; ++acquisition) {
        // A new acquisition: the memory the board answers from changes.
        const int samples = 1 + upTo(500);
        board.memory.resize(std::size_t(samples));
        for (std::int32_t &code : board.memory)
            code = std::uniform_int_distribution<std::int32_t>(-8388608, 8388607)(random);
        const std::vector<std::int32_t> memory = board.memory;
        const int cancelAfterBlocks = chance(0.15) ? 1 + upTo(3) : -1;
        for (int attempt = 0; attempt <= MaxRetries; ++attempt) {
            log.events.clear();
            blocks = 0;
            log.onEvent = [&](EventEnum evType) {
                if (evType == EVENT_RX_CONT && ++blocks == cancelAfterBlocks)
                    driver.AbortDataReceive();
            };
            try {
                driver.StartDataReceive(0, samples);
            } catch (const std::exception &error) {
                return QStringLiteral("acquisition %1: StartDataReceive threw %2").arg(acquisition).arg(error.what());
            }
            const auto ended = [&] {
                return log.count(EVENT_RX_FINISH) + log.count(EVENT_RX_ERROR) > 0 || blocks == cancelAfterBlocks;
            };
            if (!QTest::qWaitFor(ended, 120000))
                return QStringLiteral("acquisition %1: the reception never ended").arg(acquisition);
            QTest::qWait(1); // the status follows the event
            const QString where = QStringLiteral("acquisition %1 attempt %2: ").arg(acquisition).arg(attempt);
            if (log.count(EVENT_RX_FINISH) + log.count(EVENT_RX_ERROR) > 1)
                return where + QStringLiteral("more than one ending");
            if (log.count(EVENT_RX_FINISH) == 1) {
                std::vector<std::int32_t> codes(static_cast<std::size_t>(samples));
                driver.GetData(codes);
                if (codes != memory || driver.Status() != STATUS_DATA_AVAILABLE) {
                    const auto wrong = std::mismatch(codes.begin(), codes.end(), memory.begin()).first - codes.begin();
                    return where + QStringLiteral("a block delivered with sample %1 of %2 wrong").arg(wrong).arg(samples);
                }
                ++tally.exact;
                break;
            }
            if (log.count(EVENT_RX_ERROR) == 1) {
                if (driver.Status() != STATUS_ERROR || driver.LastError().isEmpty())
                    return where + QStringLiteral("a failure without error status or cause");
                ++tally.failed;
                continue; // received again, as the program does
            }
            ++tally.cancelled;
            break;
        }
    }
    return {};
}

void tst_reception_schedules::randomSchedules()
{
    const QString range = qEnvironmentVariable("KZ_SCHEDULES", QStringLiteral("1:200"));
    const quint32 first = range.section(u':', 0, 0).toUInt();
    const quint32 count = range.section(u':', 1, 1).toUInt();
    QVERIFY2(first > 0 && count > 0, "KZ_SCHEDULES is first:count");
    Tally tally;
    QStringList broken;
    QElapsedTimer clock;
    clock.start();
    for (quint32 seed = first; seed < first + count; ++seed) {
        const QString problem = runSchedule(seed, tally);
        if (!problem.isEmpty())
            broken << QStringLiteral("seed %1: %2").arg(seed).arg(problem);
    }
    qInfo("%u schedules from seed %u in %.1f s: %d blocks exact, %d receptions failed cleanly, %d cancelled; %lld broken",
          count, first, clock.elapsed() / 1000.0, tally.exact, tally.failed, tally.cancelled, qsizetype(broken.size()));
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1Char('\n'))));
    QVERIFY(tally.exact > 0);
}

QTEST_GUILESS_MAIN(tst_reception_schedules)
#include "tst_reception_schedules.moc"
