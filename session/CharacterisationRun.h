// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AcquisitionSession.h"
#include "FigureSpread.h"
#include "PointResult.h"
#include "RunPlan.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class BoardSession;

// Runs a plan on the board, point by point: writes the point's settings
// through the driver's named settings and its rate, reads them back, takes
// the settling blocks and drops them, takes the point's blocks and sums up
// their figures. A failed point is reported and the run goes on, unless the
// board is gone (its port closed, or it stopped reporting). Holds the board
// from start() to its end; it waits for nothing itself, so the window stays
// usable and the command-line tool waits in its event loop. No widgets.
class CharacterisationRun : public QObject
{
    Q_OBJECT

public:
    enum class Ending { Completed, Stopped, BoardGone };

    // What the run is called should the board be busy.
    static const QString UserName;

    explicit CharacterisationRun(BoardSession &board, QObject *parent = nullptr);
    // Frees the board; a block under way is cancelled.
    ~CharacterisationRun() override;

    // Checks plan against the board's limits and takes the board; the first
    // point starts from the event loop. False, with the reason in *refusal,
    // when the plan does not suit the board or the board serves another user.
    bool start(const RunPlan &plan, QString *refusal = nullptr);
    // Ends the run at once: the block under way is dropped, the points done
    // are kept. finished(Stopped) follows.
    void stop();

    bool running() const { return m_running; }
    const RunPlan &plan() const { return m_plan; }
    const QList<PointResult> &results() const { return m_results; }
    // The seconds the run has taken, and an estimate of those it still takes:
    // the plan's estimate for the blocks left, scaled by how the blocks so far
    // compared with theirs.
    double elapsedSeconds() const;
    double remainingSeconds() const;

    // The figures the run records of one block: the views' of plan, in order.
    static QList<Figure> figuresOf(const SampleBlock &block, const RunPlan &plan);

signals:
    // point counts from 0; block from 1 to the plan's blocksPerPoint(), the
    // settling blocks first.
    void pointStarted(int point, int points);
    void blockStarted(int point, int block, bool settling);
    void blockProgress(AcquisitionSession::Stage stage, int done, int total);
    void retrying(int retry, const QString &cause);
    // A block the point keeps (number from 1), before its figures are taken.
    void blockKept(int point, int number, const SampleBlock &block);
    void pointFinished(int point, const PointResult &result);
    void finished(CharacterisationRun::Ending ending);

private:
    void startPoint();
    // Writes the point's settings and reads them back; false when the point failed.
    bool applySettings(const RunPlan::Point &point);
    void startBlock();
    void takeBlock(const SampleBlock &block);
    // silent: the board stopped reporting, which ends the run.
    void failPoint(const QString &problem, bool silent = false);
    void finishPoint();
    void finish(Ending ending);
    // The driver's port is closed: no later point could be measured.
    bool boardGone() const;
    double estimatedSecondsOfBlocks(int blocks) const;

    BoardSession &m_board;
    AcquisitionSession &m_session;
    QObject m_receiver; // the session's signals reach this object while it lives
    QTimer m_watchdog;
    QElapsedTimer m_clock;
    RunPlan m_plan;
    QList<RunPlan::Point> m_points;
    QList<PointResult> m_results;
    PointResult m_point;
    FigureSpread m_spread;
    int m_pointIndex = 0;
    int m_block = 0;    // of the point, settling blocks included; 0: none started
    int m_blocksDone = 0; // of the run, settling blocks included
    bool m_running = false;
    bool m_blockUnderWay = false;
};
