// SPDX-License-Identifier: GPL-3.0-or-later
#include "CharacterisationRun.h"

#include "BoardSession.h"
#include "BoardSetup.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverSettings.h"
#include "PlotDocument.h"
#include "ViewTraits.h"

#include <algorithm>
#include <exception>

namespace {

// Longest quiet spell of a block after which the board is taken as gone:
// above the longest exchange the driver may run without an event (a block
// request sent three times, with the guard times between), so its own
// resends come first; the block's own conversions come on top.
constexpr int QuietLimitMs = 40000;

} // namespace

const QString CharacterisationRun::UserName = QStringLiteral("a characterisation run");

CharacterisationRun::CharacterisationRun(BoardSession &board, QObject *parent)
    : QObject(parent)
    , m_board(board)
    , m_session(board.acquisition())
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, [this] {
        m_session.cancel();
        failPoint(QStringLiteral("the board stopped reporting (no event for %1 s)").arg(m_watchdog.interval() / 1000),
                  true);
    });
    // Each block's end is taken from the event loop, so a run of many blocks
    // never nests one block's start in the last one's delivery.
    const auto heard = [this] {
        if (m_blockUnderWay)
            m_watchdog.start();
    };
    connect(&m_session, &AcquisitionSession::stageReached, &m_receiver,
            [this, heard](AcquisitionSession::Stage stage, int done, int total) {
                if (!m_blockUnderWay)
                    return;
                heard();
                emit blockProgress(stage, done, total);
            });
    connect(&m_session, &AcquisitionSession::retrying, &m_receiver, [this, heard](int retry, const QString &cause) {
        if (!m_blockUnderWay)
            return;
        heard();
        emit retrying(retry, cause);
    });
    connect(&m_session, &AcquisitionSession::blockReady, &m_receiver, [this](const SampleBlock &block) {
        if (!m_blockUnderWay)
            return;
        m_blockUnderWay = false;
        m_watchdog.stop();
        QTimer::singleShot(0, this, [this, block] { takeBlock(block); });
    });
    connect(&m_session, &AcquisitionSession::failed, &m_receiver,
            [this](AcquisitionSession::Failure failure, const QString &cause) {
                if (!m_blockUnderWay)
                    return;
                m_blockUnderWay = false;
                m_watchdog.stop();
                const QString problem = AcquisitionSession::failureText(failure, cause);
                QTimer::singleShot(0, this, [this, problem] { failPoint(problem); });
            });
}

CharacterisationRun::~CharacterisationRun()
{
    if (m_running)
        m_board.release(UserName);
}

bool CharacterisationRun::start(const RunPlan &plan, QString *refusal)
{
    const auto refuse = [refusal](const QString &why) {
        if (refusal)
            *refusal = why;
        return false;
    };
    if (m_running)
        return refuse(QStringLiteral("a run is under way"));
    if (!m_board.isOpen())
        return refuse(QStringLiteral("no board driver is open"));
    if (const std::optional<QString> problem = plan.problem(m_board.limits()))
        return refuse(*problem);
    if (!m_board.namedSettings())
        return refuse(QStringLiteral("the board driver offers no settings to change"));
    if (!m_board.claim(UserName, refusal))
        return false;
    m_plan = plan;
    m_points = plan.points();
    m_results.clear();
    m_pointIndex = -1;
    m_blocksDone = 0;
    m_running = true;
    m_clock.start();
    QTimer::singleShot(0, this, [this] { startPoint(); });
    return true;
}

void CharacterisationRun::stop()
{
    if (m_running)
        finish(Ending::Stopped);
}

void CharacterisationRun::startPoint()
{
    if (!m_running)
        return;
    if (++m_pointIndex >= m_points.size()) {
        finish(Ending::Completed);
        return;
    }
    const RunPlan::Point &point = m_points[m_pointIndex];
    m_point = PointResult();
    m_point.channel = point.channel;
    m_point.averaging = point.averaging;
    m_point.rate = point.rate;
    m_point.vref = m_plan.vref;
    m_point.samples = m_plan.samples;
    m_spread = FigureSpread();
    m_block = 0;
    emit pointStarted(m_pointIndex, int(m_points.size()));
    if (applySettings(point))
        startBlock();
}

bool CharacterisationRun::applySettings(const RunPlan::Point &point)
{
    NuvarDriverSettings &settings = *m_board.namedSettings();
    NuvarDriverClass &driver = *m_board.driver();
    if (const auto refused = BoardSetup{point.channel, point.averaging, m_plan.vref}.applyTo(settings)) {
        failPoint(QStringLiteral("the driver refused %1").arg(*refused));
        return false;
    }
    std::optional<QString> rateRefused;
    try {
        // The rate goes to the board at once; its wait runs the event loop.
        m_session.callDriver([&] { rateRefused = BoardSetup::setSampleRate(driver, point.rate); });
    } catch (const std::exception &error) {
        if (m_running)
            failPoint(QString::fromLocal8Bit(error.what()));
        return false;
    }
    if (!m_running)
        return false; // stopped while the board was asked
    // What is in force, as the driver tells it: the point's true settings.
    const BoardSetup inForce = BoardSetup::inForce(settings);
    m_point.channel = inForce.channel;
    m_point.averaging = inForce.averaging;
    m_point.vref = inForce.vref;
    m_point.rate = rateRefused ? point.rate : driver.SampleRate();
    if (rateRefused) {
        failPoint(*rateRefused);
        return false;
    }
    return true;
}

void CharacterisationRun::startBlock()
{
    ++m_block;
    emit blockStarted(m_pointIndex, m_block, m_block <= m_plan.settleBlocks);
    const double conversionsMs = m_plan.samples / std::max(m_point.rate, 1.0) * 1000.0;
    m_watchdog.setInterval(QuietLimitMs + int(std::min(conversionsMs, 3.6e6)));
    m_watchdog.start();
    m_blockUnderWay = true;
    // The first block of a point writes its settings to the board.
    if (!m_board.startBlock(m_plan.samples, m_block == 1) && m_blockUnderWay) {
        m_blockUnderWay = false;
        m_watchdog.stop();
        if (m_running)
            failPoint(QStringLiteral("the block could not be started"));
    }
}

void CharacterisationRun::takeBlock(const SampleBlock &block)
{
    if (!m_running)
        return;
    ++m_blocksDone;
    if (m_block > m_plan.settleBlocks) {
        const int number = m_block - m_plan.settleBlocks;
        emit blockKept(m_pointIndex, number, block);
        if (!m_running)
            return;
        m_spread.add(figuresOf(block, m_plan));
    }
    if (m_block < m_plan.blocksPerPoint())
        startBlock();
    else
        finishPoint();
}

QList<Figure> CharacterisationRun::figuresOf(const SampleBlock &block, const RunPlan &plan)
{
    PlotDocument document;
    document.setBlock(block);
    QList<Figure> figures;
    for (DocumentOptions::View view : plan.views()) {
        DocumentOptions options;
        options.fft = plan.fft;
        options.normalizeFft = plan.normalizeFft;
        options.view = view;
        document.setOptions(options);
        document.runAnalysisPass();
        figures += documentFigures(document, ViewTraits::of(view).figures);
    }
    return figures;
}

void CharacterisationRun::finishPoint()
{
    m_point.blocks = m_spread.blocks();
    m_point.toneBlocks = m_spread.toneBlocks();
    m_point.figures = m_spread.summaries();
    m_results.append(m_point);
    emit pointFinished(m_pointIndex, m_point);
    QTimer::singleShot(0, this, [this] { startPoint(); });
}

void CharacterisationRun::failPoint(const QString &problem, bool silent)
{
    if (!m_running)
        return;
    m_blockUnderWay = false;
    m_watchdog.stop();
    // The blocks the point did not take count as done for the estimate.
    m_blocksDone += m_plan.blocksPerPoint() - std::max(m_block - 1, 0);
    PointResult failed;
    failed.channel = m_point.channel;
    failed.averaging = m_point.averaging;
    failed.rate = m_points[m_pointIndex].rate;
    failed.error = problem;
    m_results.append(failed);
    emit pointFinished(m_pointIndex, failed);
    if (silent || boardGone())
        finish(Ending::BoardGone);
    else
        QTimer::singleShot(0, this, [this] { startPoint(); });
}

void CharacterisationRun::finish(Ending ending)
{
    m_running = false;
    m_blockUnderWay = false;
    m_watchdog.stop();
    m_board.release(UserName); // cancels the block under way
    emit finished(ending);
}

bool CharacterisationRun::boardGone() const
{
    const NuvarDriverSettings *settings = m_board.namedSettings();
    return !settings || settings->SettingValue(QString::fromLatin1(NuvarDriverSettings::PortPath)).isEmpty();
}

double CharacterisationRun::elapsedSeconds() const
{
    return m_clock.isValid() ? m_clock.elapsed() / 1000.0 : 0.0;
}

double CharacterisationRun::estimatedSecondsOfBlocks(int blocks) const
{
    // The plan's blocks in order, the points' settings at their first block.
    double seconds = 0;
    const int perPoint = m_plan.blocksPerPoint();
    for (int block = 0; block < blocks && block / perPoint < m_points.size(); ++block)
        seconds += m_plan.blockSeconds(m_points[block / perPoint].rate);
    return seconds;
}

double CharacterisationRun::remainingSeconds() const
{
    const int total = int(m_points.size()) * m_plan.blocksPerPoint();
    const double planned = estimatedSecondsOfBlocks(total);
    const double plannedDone = estimatedSecondsOfBlocks(m_blocksDone);
    const double scale = plannedDone > 0 ? elapsedSeconds() / plannedDone : 1.0;
    return std::max(planned - plannedDone, 0.0) * scale;
}
