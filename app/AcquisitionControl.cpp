// SPDX-License-Identifier: GPL-3.0-or-later
#include "AcquisitionControl.h"

#include "AcquisitionPanel.h"
#include "NuvarDriverClass.h"
#include "frmPlot.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QToolButton>

namespace {

// What the window's runs are called should the board be busy with one.
const QString RunName = QStringLiteral("an acquisition in the main window");

} // namespace

AcquisitionControl::AcquisitionControl(AcquisitionPanel &panel, QLabel &field1, QLabel &field2,
                                       std::function<frmPlot *()> activePlot, QObject *parent)
    : QObject(parent), m_panel(panel), m_field1(field1), m_field2(field2), m_activePlot(std::move(activePlot)),
      m_session(m_board.acquisition())
{
    m_contTimer.setInterval(1);
    m_contTimer.setSingleShot(true);
    connect(&m_contTimer, &QTimer::timeout, this, &AcquisitionControl::contTimer_Timer);
    connect(panel.cmdAcquire(), &QPushButton::clicked, this, &AcquisitionControl::cmdAcquire_Click);
    connect(panel.cmdStop(), &QToolButton::clicked, this, &AcquisitionControl::cmdStop_Click);
    connect(&panel, &AcquisitionPanel::sampleRateClicked, this, &AcquisitionControl::btnSetSampleRate_Click);
    connect(panel.txtNumSamples(), &QLineEdit::textChanged, this, &AcquisitionControl::updateDuration);
    // Esc stops from anywhere in the window, as Stop does.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), &panel);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &AcquisitionControl::cmdStop_Click);
    connect(&m_board, &BoardSession::driverChanged, this, &AcquisitionControl::driverChanged);
    connect(&m_board, &BoardSession::communication, this, &AcquisitionControl::showCommunication);
    connect(&m_session, &AcquisitionSession::stageReached, this, &AcquisitionControl::showStage);
    connect(&m_session, &AcquisitionSession::retrying, this,
            [this] { m_field1.setText(QStringLiteral("Error receiving data: trying again...")); });
    connect(&m_session, &AcquisitionSession::blockReady, this, &AcquisitionControl::showBlock);
    connect(&m_session, &AcquisitionSession::failed, this, &AcquisitionControl::showFailure);
    connect(&m_session, &AcquisitionSession::busyChanged, this, [this](bool busy) {
        updateCommands();
        emit busyChanged(busy);
    });
}

void AcquisitionControl::driverChanged()
{
    m_contTimer.stop();
    m_panel.setLimits(m_board.limits());
    updateCommands();
    updateDuration();
}

void AcquisitionControl::updateDuration()
{
    if (NuvarDriverClass *driver = m_session.driver())
        m_panel.showDuration(m_panel.sampleCount(), driver->SampleRate());
}

void AcquisitionControl::updateCommands()
{
    m_panel.cmdAcquire()->setEnabled(m_session.driver() && !m_session.running() && !busy());
    // The rate cannot change under a block being taken.
    const bool rateEditable = !busy() && !acquiring();
    m_panel.btnSetSampleRate()->setEnabled(rateEditable);
    m_panel.txtSampleRate()->setEnabled(rateEditable);
}

void AcquisitionControl::returnToIdle()
{
    m_board.release(RunName);
    m_panel.cmdStop()->hide();
    updateCommands();
}

void AcquisitionControl::showNote(Note note, const QString &text)
{
    m_note = note;
    m_field1.setText(text);
}

void AcquisitionControl::clearNote(Note note)
{
    if (m_note != note)
        return;
    m_note = Note::None;
    if (acquiring())
        return; // the acquisition's own texts stand there now
    m_field1.setText(QStringLiteral("Ready"));
    if (note == Note::Failure)
        m_field2.clear();
}

void AcquisitionControl::forgetFailure()
{
    clearNote(Note::Failure);
}

void AcquisitionControl::cmdAcquire_Click()
{
    if (!m_session.driver() || m_session.running() || busy())
        return;
    m_panel.commitSampleCount();
    // A rate typed but not yet Set is the rate the user sees: use it.
    if (!applyTypedRate(false))
        return;
    QString refusal;
    if (!m_board.claim(RunName, &refusal)) {
        showNote(Note::Failure, refusal);
        return;
    }
    m_note = Note::None;
    emit plotDataReady(false);
    m_panel.cmdStop()->show();
    m_board.startBlock(m_panel.sampleCount(), true);
    updateCommands();
}

void AcquisitionControl::cmdStop_Click()
{
    if (!acquiring())
        return; // nothing to stop: Esc while idle changes nothing
    m_panel.optSingleShot()->setChecked(true);
    m_contTimer.stop();
    m_field1.setText(QStringLiteral("Acquisition stopped"));
    if (m_session.running()) {
        // The block under way is dropped; the plot windows keep what they hold.
        m_session.cancel();
        m_panel.prgAcquisitionProgress()->setValue(0);
        emit plotDataReady(true);
    }
    returnToIdle();
}

void AcquisitionControl::abortDriverWaits()
{
    m_contTimer.stop();
    m_session.cancel();
}

void AcquisitionControl::contTimer_Timer()
{
    if (!m_session.driver())
        return;
    m_panel.cmdStop()->show();
    m_board.startBlock(m_panel.sampleCount(), false);
    updateCommands();
}

void AcquisitionControl::btnSetSampleRate_Click()
{
    applyTypedRate(true);
}

bool AcquisitionControl::applyTypedRate(bool unchangedToo)
{
    NuvarDriverClass *driver = m_session.driver();
    if (!driver || busy())
        return false;
    const std::optional<double> rate = m_panel.sampleRate();
    if (rate && *rate == driver->SampleRate() && !unchangedToo) {
        clearNote(Note::Rate);
        return true;
    }
    QString refusal;
    if (!rate) {
        refusal = QStringLiteral("Sample rate \"%1\" is not a number: nothing sent").arg(m_panel.txtSampleRate()->text());
    } else {
        try {
            callDriver([driver, &rate] { driver->setSampleRate(*rate); });
        } catch (const std::exception &error) {
            refusal = QString::fromLocal8Bit(error.what());
        }
    }
    if (!refusal.isEmpty()) {
        showNote(Note::Rate, refusal);
        m_panel.showSampleRate(driver->SampleRate());
    } else {
        clearNote(Note::Rate);
    }
    updateDuration();
    return refusal.isEmpty();
}

void AcquisitionControl::showCommunication(BoardSession::Communication state)
{
    switch (state) {
    case BoardSession::Communication::Waiting:
        QApplication::processEvents();
        break;
    case BoardSession::Communication::Started:
        m_field2.setText(QStringLiteral("Waiting for board response ..."));
        break;
    case BoardSession::Communication::Answered:
        m_field2.setText(QStringLiteral("Response received OK"));
        break;
    case BoardSession::Communication::Failed:
        m_field2.setText(QStringLiteral("Error communicating with board!"));
        break;
    }
}

void AcquisitionControl::showStage(AcquisitionSession::Stage stage, int done, int total)
{
    QProgressBar &progress = *m_panel.prgAcquisitionProgress();
    switch (stage) {
    case AcquisitionSession::Stage::AcquisitionStarted:
        m_field1.setText(QStringLiteral("Starting acquisition..."));
        progress.setRange(0, std::max(1, total));
        progress.setValue(0);
        break;
    case AcquisitionSession::Stage::Acquiring:
        m_field1.setText(QStringLiteral("Acquiring data..."));
        progress.setValue(done);
        break;
    case AcquisitionSession::Stage::AcquisitionComplete:
        m_field1.setText(QStringLiteral("Acquisition complete..."));
        break;
    case AcquisitionSession::Stage::ReceptionStarted:
        m_field1.setText(QStringLiteral("Starting reception of data..."));
        progress.setValue(0);
        break;
    case AcquisitionSession::Stage::Receiving:
        m_field1.setText(QStringLiteral("Receiving data..."));
        progress.setValue(done);
        break;
    }
}

void AcquisitionControl::showBlock(const SampleBlock &block)
{
    m_field1.setText(QStringLiteral("Ready"));
    m_panel.prgAcquisitionProgress()->setValue(0);
    emit plotDataReady(true);
    if (frmPlot *plot = m_activePlot()) {
        plot->setBlock(block);
        plot->UpdatePlot();
    }
    // Another user's block (a remote-control client's) is shown, no more: the
    // window's run, its trend and its restarts are its own.
    if (m_board.user() != RunName) {
        updateCommands();
        return;
    }
    if (m_panel.optContinuous()->isChecked()) {
        QString problem;
        m_trend.add(block, QDateTime::currentDateTime(), &problem);
        emit trendChanged(problem);
    }
    if (m_panel.optContinuous()->isChecked())
        m_contTimer.start();
    else
        returnToIdle();
}

void AcquisitionControl::showFailure(AcquisitionSession::Failure failure, const QString &cause)
{
    m_note = Note::Failure;
    m_field1.setText(failure == AcquisitionSession::Failure::NoReception
                         ? QStringLiteral("Data cannot be received. Check connections and power.")
                         : QStringLiteral("Acquisition error!"));
    m_field2.setText(AcquisitionSession::failureText(failure, cause));
    returnToIdle();
}

void AcquisitionControl::mfrmPlot_CalcStatus(const frmPlot &plot)
{
    // A progress bar repaints at once on every new value; thousands of progress
    // points a pass would take longer than the analysis itself, so the bar moves
    // at most once a frame (the final 0 always shows).
    constexpr int FrameMs = 20;
    if (plot.CalcProgress() != 0 && m_calcPaintClock.isValid() && m_calcPaintClock.elapsed() < FrameMs)
        return;
    m_calcPaintClock.start();
    QProgressBar &progress = *m_panel.prgAcquisitionProgress();
    progress.setRange(0, std::max(1, plot.CalcMax()));
    progress.setValue(plot.CalcProgress());
    m_field1.setText(plot.CalcProgress() != 0 ? QStringLiteral("Preparing display...") : QStringLiteral("Ready"));
}
