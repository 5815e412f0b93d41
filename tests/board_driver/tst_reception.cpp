// SPDX-License-Identifier: GPL-3.0-or-later
// The driver against a board that misbehaves as real lines and boards do:
// damaged, lost, late, short and stray answers, early notifications, refused
// writes, a board that never finishes and a line that goes away.
#include "CpuTime.h"
#include "DriverEventLog.h"
#include "HostileBoard.h"
#include "MessageWindowClicker.h"
#include "NuvarDriverError.h"
#include "csrdrv.h"
#include "kz7305.h"

#include <QElapsedTimer>
#include <QtTest>


using Fault = HostileBoard::Fault;
constexpr auto isBlockRead = &HostileBoard::isBlockRead;

class tst_reception : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void answersMatchedToRequests();
    void lateAndStrayAnswersCostOneBlock();
    void answersOutOfStepNeverShiftBlocks();
    void blockFailingThreeTimesTimesOut();
    void acquisitionWithoutCompletionEnds();
    void lostPortFailsAtOnce();
    void cancelledBlockNeverBecomesTheNext();

private:
    void fillMemory(int samples) { m_board->fillMemory(samples); }
    // Receives samples; true when the block arrived.
    bool receive(int samples, int timeoutMs);
    std::vector<std::int32_t> received(int samples);

    std::unique_ptr<HostileBoard> m_board;
    std::unique_ptr<kz7305> m_driver;
    DriverEventLog m_log;
};

void tst_reception::init()
{
    m_board = std::make_unique<HostileBoard>();
    QVERIFY(!m_board->devicePath().isEmpty());
    m_driver = std::make_unique<kz7305>();
    m_driver->theCsrDrv()->setPortTable(portTable({m_board->devicePath()}));
    m_log.events.clear();
    m_log.onEvent = nullptr;
    m_driver->DriverOpen(m_log);
    m_driver->setPortNumber(1);
    QVERIFY(m_driver->isPortOpen());
}

void tst_reception::cleanup()
{
    m_driver.reset();
    m_board.reset();
}

bool tst_reception::receive(int samples, int timeoutMs)
{
    const int endings = m_log.count(EVENT_RX_FINISH) + m_log.count(EVENT_RX_ERROR);
    m_driver->StartDataReceive(0, samples);
    [[maybe_unused]] const bool ended = QTest::qWaitFor(
        [&] { return m_log.count(EVENT_RX_FINISH) + m_log.count(EVENT_RX_ERROR) > endings; }, timeoutMs);
    QTest::qWait(10); // the status follows the event
    return m_driver->Status() == STATUS_DATA_AVAILABLE;
}

std::vector<std::int32_t> tst_reception::received(int samples)
{
    std::vector<std::int32_t> codes(static_cast<std::size_t>(samples));
    m_driver->GetData(codes);
    return codes;
}

void tst_reception::answersMatchedToRequests()
{
    // A damaged acknowledgement is sent again; the completion comes before the
    // start is acknowledged; a block answer is one sample short.
    fillMemory(256);
    int shortBlock = -1;
    m_board->completeBeforeAcknowledging = true;
    m_board->faultFor = [&shortBlock](const csr232packet &request, int index) {
        if (index == 1)
            return Fault::Damage;
        if (isBlockRead(request) && shortBlock < 0) {
            shortBlock = index;
            return Fault::ShortAnswer;
        }
        return Fault::None;
    };
    m_driver->setSamples(256);
    m_driver->Configure();
    QCOMPARE_NE(m_driver->Status(), STATUS_ERROR);
    QCOMPARE(m_board->requests(), 7 + 1); // seven writes, one sent twice

    m_driver->StartAcquisition();
    QTRY_COMPARE(m_log.events, (QList<EventEnum>{EVENT_ACQ_START, EVENT_ACQ_FINISH}));
    // A completion while nothing is acquired is no new block.
    m_board->notify(1);
    QTest::qWait(200);
    QCOMPARE(m_log.count(EVENT_ACQ_FINISH), 1);

    // A register call from inside a driver event gets its answer.
    bool rateSet = false;
    m_log.onEvent = [&](EventEnum evType) {
        if (evType == EVENT_RX_CONT && !rateSet) {
            rateSet = true;
            m_driver->setSampleRate(1000.0);
        }
    };
    QVERIFY(receive(256, 20000));
    QCOMPARE(received(256), m_board->memory);
    QCOMPARE(m_driver->SampleRate(), 1000.0);
    QCOMPARE(m_log.count(EVENT_RX_ERROR), 0);

    // A refused write fails and says so.
    m_board->faultFor = [](const csr232packet &, int) { return Fault::Refuse; };
    m_driver->setSampleRate(2000.0);
    QCOMPARE(m_driver->SampleRate(), 1000.0);
    QVERIFY2(m_driver->LastError().contains(QStringLiteral("refused")), qPrintable(m_driver->LastError()));
    // A rate outside what the converter does is refused before anything is sent.
    const int sent = m_board->requests();
    for (const double rate : {kz7305::MinSampleRate - 0.5, kz7305::MaxSampleRate + 1, 0.0})
        QVERIFY_THROWS_EXCEPTION(NuvarDriverError, m_driver->setSampleRate(rate));
    QCOMPARE(m_board->requests(), sent);
    QCOMPARE(m_driver->SampleRate(), 1000.0);

    // A board that is never ready ends the reception.
    MessageWindowClicker clicker;
    m_board->faultFor = [](const csr232packet &request, int) {
        return isBlockRead(request) ? Fault::NotReady : Fault::None;
    };
    const int before = m_board->requests();
    QVERIFY(!receive(256, 20000));
    QCOMPARE(m_board->requests() - before, 1 + kz7305::MaxNotReadyAnswers);
    QVERIFY2(m_driver->LastError().contains(QStringLiteral("not ready")), qPrintable(m_driver->LastError()));
}

void tst_reception::lateAndStrayAnswersCostOneBlock()
{
    // The 2nd block's answer comes after the time-out, the 4th block gets a
    // notification instead of its answer; both are asked for again.
    fillMemory(400);
    int blockReads = 0;
    QList<int> addresses;
    m_board->faultFor = [&](const csr232packet &request, int) {
        if (!isBlockRead(request))
            return Fault::None;
        addresses.append(qFromBigEndian<qint32>(request.addressBytes().constData() + 4));
        ++blockReads;
        return blockReads == 2 ? Fault::Late : blockReads == 5 ? Fault::StrayNotification : Fault::None;
    };
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    QVERIFY(receive(400, 40000));
    QCOMPARE(received(400), m_board->memory);
    QCOMPARE(m_log.count(EVENT_RX_ERROR), 0);
    // Each failed block is asked for again from where it was, not from sample
    // 0: the 2nd and 5th reads are sent again, every other read goes on.
    QCOMPARE(addresses.value(0), 0);
    QCOMPARE(addresses.value(2), addresses.value(1));
    QCOMPARE(addresses.value(5), addresses.value(4));
    for (int i = 1; i < addresses.size(); ++i)
        QVERIFY(i == 2 || i == 5 || addresses[i] > addresses[i - 1]);
    QVERIFY(m_driver->theCsrDrv()->discardedAnswers() >= 1); // the late answer
    // Waiting slept on events.
    QVERIFY2(cpuSeconds(RUSAGE_SELF) - cpuBefore < 2.0, qPrintable(QString::number(cpuSeconds(RUSAGE_SELF) - cpuBefore)));
}

void tst_reception::answersOutOfStepNeverShiftBlocks()
{
    // A board that answers in 20 ms and sends every third block answer twice,
    // the copy 5 ms after the first, while the next block is being read: the
    // copy fits that request but for its length.
    fillMemory(1000);
    int blockReads = 0;
    m_board->planFor = [&blockReads](const csr232packet &request, int) {
        HostileBoard::Plan plan;
        plan.delayMs = 20;
        plan.doubled = isBlockRead(request) && ++blockReads % 3 == 0;
        plan.copyGapMs = 5;
        return plan;
    };
    QVERIFY(receive(1000, 20000));
    QCOMPARE(received(1000), m_board->memory);

    // A board that answers in 150 ms; the third block's first answer comes
    // after its time-out, the guard time and the resend's answer, while a
    // later block is being read.
    blockReads = 0;
    m_board->planFor = [&blockReads](const csr232packet &request, int) {
        HostileBoard::Plan plan;
        if (isBlockRead(request))
            plan.delayMs = ++blockReads == 3 ? csrdrv::ResponseTimeoutMs + csrdrv::GuardQuietMs + 500 : 150;
        return plan;
    };
    const quint64 resendsBefore = m_driver->theCsrDrv()->resends();
    QVERIFY(receive(1000, 30000));
    QCOMPARE(received(1000), m_board->memory);
    QCOMPARE(m_driver->theCsrDrv()->resends(), resendsBefore + 1);
    QTest::qWait(1000); // the late answer arrives
    QVERIFY(m_driver->theCsrDrv()->discardedAnswers() >= 1);
    QCOMPARE(m_driver->theCsrDrv()->outOfStepAnswers(), 0u);
}

void tst_reception::blockFailingThreeTimesTimesOut()
{
    // The 2nd block is never answered: three sends, then one time-out window
    // and one reception error; a new reception starts from sample 0.
    fillMemory(200);
    bool silent = false;
    int blockReads = 0;
    m_board->faultFor = [&](const csr232packet &request, int) {
        if (isBlockRead(request) && ++blockReads >= 2 && silent)
            return Fault::Lose;
        return Fault::None;
    };
    silent = true;
    MessageWindowClicker clicker;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!receive(200, 60000));
    QVERIFY2(clock.elapsed() >= 3 * csrdrv::ResponseTimeoutMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(blockReads, 1 + 3);
    QCOMPARE(clicker.titles, QStringList{QStringLiteral("Response timeout!")});
    QCOMPARE(m_log.events, (QList<EventEnum>{EVENT_RX_START, EVENT_RX_CONT, EVENT_RX_ERROR}));
    QCOMPARE(m_driver->LastError(), QStringLiteral("the board did not answer"));

    silent = false;
    QVERIFY(receive(200, 20000));
    QCOMPARE(received(200), m_board->memory);
}

void tst_reception::acquisitionWithoutCompletionEnds()
{
    m_board->notifyCompletion = false;
    m_driver->setSamples(64);
    m_driver->StartAcquisition();
    QCOMPARE(m_log.events, QList<EventEnum>{EVENT_ACQ_START});
    QTRY_COMPARE_WITH_TIMEOUT(m_driver->Status(), STATUS_ERROR, kz7305::AcquisitionMarginMs + 5000);
    QCOMPARE(m_log.events, (QList<EventEnum>{EVENT_ACQ_START, EVENT_ACQ_ERROR}));
    // The board's completion, once late, starts nothing.
    m_board->notify(1);
    QTest::qWait(300);
    QCOMPARE(m_log.count(EVENT_ACQ_FINISH), 0);
}

void tst_reception::lostPortFailsAtOnce()
{
    fillMemory(1000);
    m_board->blockReadsBeforeHangUp = 3;
    MessageWindowClicker clicker;
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!receive(1000, 10000));
    QVERIFY2(clock.elapsed() < csrdrv::ResponseTimeoutMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(m_log.count(EVENT_RX_ERROR), 1);
    QCOMPARE(m_driver->LastError(), QStringLiteral("the serial port was lost"));
    QVERIFY(!m_driver->isPortOpen());
    // Later requests fail at once, saying why.
    try {
        m_driver->StartDataReceive(0, 1000);
        QFAIL("a reception started on a lost port");
    } catch (const std::exception &error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("lost")), error.what());
    }
    QTest::qWait(500);
    QVERIFY2(cpuSeconds(RUSAGE_SELF) - cpuBefore < 1.0, qPrintable(QString::number(cpuSeconds(RUSAGE_SELF) - cpuBefore)));
}


void tst_reception::cancelledBlockNeverBecomesTheNext()
{
    // An acquisition cancelled before the board reports: its completion,
    // arriving later, starts nothing.
    fillMemory(400);
    m_board->notifyCompletion = false;
    m_driver->setSamples(400);
    m_driver->StartAcquisition();
    QTRY_COMPARE(m_log.events, (QList<EventEnum>{EVENT_ACQ_START}));
    m_driver->AbortAcquisition();
    m_driver->AbortDataReceive();
    m_board->notify(1);
    QTest::qWait(300);
    QCOMPARE(m_log.events, (QList<EventEnum>{EVENT_ACQ_START}));

    // A reception cancelled while its block reads are unanswered: the late
    // answers carry the old codes; the next reception must get the new ones.
    m_board->lateMs = 1500;
    m_board->faultFor = [](const csr232packet &request, int) {
        return isBlockRead(request) ? Fault::Late : Fault::None;
    };
    m_driver->StartDataReceive(0, 400);
    QTest::qWait(100);
    m_driver->AbortDataReceive();
    const std::vector<std::int32_t> oldCodes = m_board->memory;
    for (std::int32_t &code : m_board->memory)
        code = -code / 2 + 11;
    m_board->faultFor = [](const csr232packet &, int) { return Fault::None; };
    m_log.events.clear();
    QVERIFY(receive(400, 30000));
    QCOMPARE(received(400), m_board->memory);
    QCOMPARE_NE(received(400), oldCodes);
    QCOMPARE(m_log.count(EVENT_RX_FINISH), 1);
    QCOMPARE(m_log.count(EVENT_RX_ERROR), 0);
    QVERIFY(m_driver->theCsrDrv()->discardedAnswers() >= 1); // the cancelled block's answer
}

QTEST_MAIN(tst_reception)
#include "tst_reception.moc"
