// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BoardSession.h"
#include "NoiseTrend.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class AcquisitionPanel;
class QLabel;
class frmPlot;

// The main window's acquisition controls over the board session, which it
// owns: Acquire, Stop, the continuous restart, the status texts and progress
// of the driver's events, and the hand-over of a finished block to the active
// plot window.
class AcquisitionControl : public QObject
{
    Q_OBJECT

public:
    AcquisitionControl(AcquisitionPanel &panel, QLabel &field1, QLabel &field2,
                       std::function<frmPlot *()> activePlot, QObject *parent = nullptr);

    // The board: Acquire is enabled while its driver is open.
    BoardSession &board() { return m_board; }

    void mfrmPlot_CalcStatus(const frmPlot &plot);

    // True while a call into the driver is under way (its waits run the event
    // loop, so user commands can arrive meanwhile).
    bool busy() const { return m_session.busy(); }
    // Ends the driver's waits for the board (the program is closing): the block
    // under way is dropped, and a call still waiting returns soon after.
    void abortDriverWaits();
    // Runs f, a call into the driver, with the commands that reconfigure or
    // replace the driver disabled meanwhile. Rethrows what f throws.
    template <typename F>
    void callDriver(F &&f)
    {
        m_session.callDriver(std::forward<F>(f));
    }

    // Puts the status bar back to "Ready" when it shows an acquisition's
    // failure and nothing runs: the user has set the board up again.
    void forgetFailure();

    // The noise of the blocks of continuous acquisitions.
    NoiseTrend &noiseTrend() { return m_trend; }

signals:
    // Emitted when busy() changes.
    void busyChanged(bool busy);
    // Whether the plot windows' blocks may be analysed: not from Acquire on,
    // again once a block arrives or the run is stopped.
    void plotDataReady(bool ready);
    // A block was added to the noise trend; problem is set when its log could
    // not be written (the log is then closed).
    void trendChanged(const QString &problem);

private:
    void cmdAcquire_Click();
    void cmdStop_Click();
    void contTimer_Timer();
    void btnSetSampleRate_Click();
    // Sends the typed rate to the driver (with unchangedToo, also when it is
    // the rate in force). A refused rate is told in the status bar and the
    // field shows the rate in force again; returns false then.
    bool applyTypedRate(bool unchangedToo);
    // True from Acquire until the run ends (between the blocks of a
    // continuous run too).
    bool acquiring() const { return m_session.running() || m_contTimer.isActive(); }
    // A note in the status bar, and the success that clears it.
    enum class Note { None, Rate, Failure };
    void showNote(Note note, const QString &text);
    void clearNote(Note note);
    void driverChanged();
    void showCommunication(BoardSession::Communication state);
    void showStage(AcquisitionSession::Stage stage, int done, int total);
    void showBlock(const SampleBlock &block);
    void showFailure(AcquisitionSession::Failure failure, const QString &cause);
    // Returns the controls to idle: Acquire enabled (with a driver), Stop hidden.
    void returnToIdle();
    void updateCommands();
    void updateDuration();

    AcquisitionPanel &m_panel;
    QLabel &m_field1;
    QLabel &m_field2;
    std::function<frmPlot *()> m_activePlot;
    BoardSession m_board;
    AcquisitionSession &m_session;
    QTimer m_contTimer;
    QElapsedTimer m_calcPaintClock;
    NoiseTrend m_trend;
    Note m_note = Note::None;
};
