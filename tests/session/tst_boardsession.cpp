// SPDX-License-Identifier: GPL-3.0-or-later
// The board session as the window and the command-line tool use it: the
// shipped driver loaded by its class identifier, reached only through the
// contract, against a board played by the test that knows only the wire
// format. No widgets.
#include "BoardSession.h"
#include "HostileBoard.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverError.h"
#include "NuvarDriverSettings.h"

#include <QtTest>

#include <memory>

using Fault = HostileBoard::Fault;
Q_DECLARE_METATYPE(HostileBoard::Fault)

namespace {

const QString Window = QStringLiteral("an acquisition in the main window");
const QString Characterisation = QStringLiteral("a characterisation run");

// What the session reported: blocks, failures and the link's communication.
struct Reports {
    explicit Reports(BoardSession &board)
    {
        AcquisitionSession &session = board.acquisition();
        QObject::connect(&session, &AcquisitionSession::blockReady, &receiver,
                         [this](const SampleBlock &block) { blocks.push_back(block); });
        QObject::connect(&session, &AcquisitionSession::failed, &receiver,
                         [this](AcquisitionSession::Failure failure, const QString &cause) {
                             failures.append(AcquisitionSession::failureText(failure, cause));
                         });
        QObject::connect(&session, &AcquisitionSession::stageReached, &receiver,
                         [this](AcquisitionSession::Stage stage) { stages.append(stage); });
        QObject::connect(&board, &BoardSession::communication, &receiver,
                         [this](BoardSession::Communication state) { communication.append(state); });
    }
    int endings() const { return int(blocks.size()) + int(failures.size()); }

    QObject receiver;
    std::vector<SampleBlock> blocks;
    QStringList failures;
    QList<AcquisitionSession::Stage> stages;
    QList<BoardSession::Communication> communication;
};

} // namespace

class tst_boardsession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void blocksOfARunAcquiredWhole();
    void failureGivesNoBlock_data();
    void failureGivesNoBlock();
    void oneRunHoldsTheBoardAtATime();
    void releasedBlockNeverBecomesTheNext();
    void limitsAreWhatTheDriverTakes();

private:
    // Starts a block of the run that holds the board and waits until it ends.
    void acquire(int samples, bool first, int timeoutMs = 20000);

    std::unique_ptr<HostileBoard> m_board;
    std::unique_ptr<BoardSession> m_session;
    std::unique_ptr<Reports> m_reports;
};

void tst_boardsession::initTestCase()
{
    qputenv("KZ7305EVM_PLUGIN_PATH", qgetenv("KZ_TEST_PLUGIN_DIR"));
}

void tst_boardsession::init()
{
    m_board = std::make_unique<HostileBoard>();
    QVERIFY(!m_board->devicePath().isEmpty());
    m_session = std::make_unique<BoardSession>();
    m_reports = std::make_unique<Reports>(*m_session);
    QString error;
    QVERIFY2(m_session->load(QStringLiteral("KZ7305EVM.kz7305"), &error), qPrintable(error));
    m_session->open();
    QVERIFY(m_session->isOpen());
    NuvarDriverSettings *settings = m_session->namedSettings();
    QVERIFY(settings);
    QVERIFY(settings->setSettingValue(QString::fromLatin1(NuvarDriverSettings::PortPath), m_board->devicePath()));
}

void tst_boardsession::cleanup()
{
    m_reports.reset();
    m_session.reset();
    m_board.reset();
}

void tst_boardsession::acquire(int samples, bool first, int timeoutMs)
{
    const int endings = m_reports->endings();
    QVERIFY(m_session->startBlock(samples, first));
    QTRY_VERIFY_WITH_TIMEOUT(m_reports->endings() > endings, timeoutMs);
}

void tst_boardsession::blocksOfARunAcquiredWhole()
{
    const int samples = m_session->limits().minSamples;
    m_board->fillMemory(samples);
    QVERIFY(m_session->claim(Window));
    acquire(samples, true);
    QCOMPARE(m_reports->failures, QStringList());
    QCOMPARE(m_reports->blocks.size(), 1u);
    QCOMPARE(m_reports->blocks[0].samples, m_board->memory);
    // Writing the settings waited for the board's answers, and had them.
    QVERIFY(m_reports->communication.contains(BoardSession::Communication::Started));
    QVERIFY(m_reports->communication.contains(BoardSession::Communication::Answered));
    QVERIFY(!m_reports->communication.contains(BoardSession::Communication::Failed));

    // The run's next block, of other codes, settings unchanged.
    m_board->fillMemory(samples, 104729);
    acquire(samples, false);
    QCOMPARE(m_reports->blocks.size(), 2u);
    QCOMPARE(m_reports->blocks[1].samples, m_board->memory);
    QCOMPARE(m_reports->stages.count(AcquisitionSession::Stage::AcquisitionComplete), 2);
}

void tst_boardsession::failureGivesNoBlock_data()
{
    QTest::addColumn<int>("hangUpAfter");
    QTest::addColumn<Fault>("blockFault");
    QTest::addColumn<QString>("cause");
    QTest::newRow("lost port") << 2 << Fault::None << QStringLiteral("serial port was lost");
    // Every block read answered "not ready", reception after reception.
    QTest::newRow("never ready") << -1 << Fault::NotReady << QStringLiteral("not ready");
}

void tst_boardsession::failureGivesNoBlock()
{
    QFETCH(int, hangUpAfter);
    QFETCH(Fault, blockFault);
    QFETCH(QString, cause);
    m_board->fillMemory(1000);
    m_board->blockReadsBeforeHangUp = hangUpAfter;
    m_board->faultFor = [blockFault](const csr232packet &request, int) {
        return HostileBoard::isBlockRead(request) ? blockFault : Fault::None;
    };
    QVERIFY(m_session->claim(Window));
    acquire(1000, true, 60000);
    QCOMPARE(m_reports->failures.size(), 1);
    QVERIFY2(m_reports->failures[0].contains(cause), qPrintable(m_reports->failures[0]));
    // Nothing of it turns up later either.
    QTest::qWait(300);
    QCOMPARE(m_reports->endings(), 1);
    QVERIFY(m_reports->blocks.empty());
}

void tst_boardsession::oneRunHoldsTheBoardAtATime()
{
    QVERIFY(!m_session->startBlock(64, true)); // no run holds the board
    QVERIFY(m_session->claim(Window));
    QVERIFY(m_session->claim(Window)); // its own run goes on
    QString refusal;
    QVERIFY(!m_session->claim(Characterisation, &refusal));
    QCOMPARE(refusal, QStringLiteral("The board is busy: an acquisition in the main window"));

    // The refused user ends nothing of the run that holds the board.
    m_board->fillMemory(300);
    const int endings = m_reports->endings();
    QVERIFY(m_session->startBlock(300, true));
    m_session->release(Characterisation);
    QVERIFY(!m_session->claim(Characterisation));
    QTRY_VERIFY_WITH_TIMEOUT(m_reports->endings() > endings, 20000);
    QCOMPARE(m_reports->blocks.size(), 1u);
    QCOMPARE(m_reports->blocks[0].samples, m_board->memory);
    QCOMPARE(m_session->user(), Window);

    m_session->release(Window);
    QVERIFY(m_session->user().isEmpty());
    QVERIFY(m_session->claim(Characterisation, &refusal));
}

void tst_boardsession::releasedBlockNeverBecomesTheNext()
{
    // A run released while its block answers are late: those answers carry
    // the old codes; the next run's block must have the new ones.
    m_board->fillMemory(400);
    m_board->lateMs = 1500;
    m_board->faultFor = [](const csr232packet &request, int) {
        return HostileBoard::isBlockRead(request) ? Fault::Late : Fault::None;
    };
    QVERIFY(m_session->claim(Window));
    QVERIFY(m_session->startBlock(400, true));
    QTRY_VERIFY_WITH_TIMEOUT(m_board->blockReads() > 0, 10000);
    m_session->release(Window);
    QVERIFY(!m_session->acquisition().running());
    const std::vector<std::int32_t> oldCodes = m_board->memory;
    m_board->fillMemory(400, 104729);
    m_board->faultFor = [](const csr232packet &, int) { return Fault::None; };
    QTest::qWait(2000); // the late answers arrive
    QCOMPARE(m_reports->endings(), 0);

    QVERIFY(m_session->claim(Characterisation));
    acquire(400, true);
    QCOMPARE(m_reports->failures, QStringList());
    QCOMPARE(m_reports->blocks.size(), 1u);
    QCOMPARE(m_reports->blocks[0].samples, m_board->memory);
    QCOMPARE_NE(m_reports->blocks[0].samples, oldCodes);
}

void tst_boardsession::limitsAreWhatTheDriverTakes()
{
    // The limits the session gives are the driver's own: the rate a new
    // driver is in, the rates it takes and the first ones it refuses.
    const BoardLimits limits = m_session->limits();
    NuvarDriverClass &driver = *m_session->driver();
    QCOMPARE(driver.SampleRate(), limits.defaultSampleRate);
    QCOMPARE_LT(limits.minSamples, limits.maxSamples);
    for (const double rate : {limits.maxSampleRate, limits.minSampleRate}) {
        driver.setSampleRate(rate);
        QCOMPARE(driver.SampleRate(), rate);
    }
    for (const double rate : {limits.maxSampleRate * 1.001, limits.minSampleRate * 0.999})
        QVERIFY_THROWS_EXCEPTION(NuvarDriverError, driver.setSampleRate(rate));
    QCOMPARE(driver.SampleRate(), limits.minSampleRate);

    // A driver that states no limits is offered the program's usual ones.
    m_session->adopt(std::make_unique<NuvarDriverClass>());
    QCOMPARE(m_session->limits(), BoardLimits{});
}

QTEST_GUILESS_MAIN(tst_boardsession)
#include "tst_boardsession.moc"
