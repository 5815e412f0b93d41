// SPDX-License-Identifier: GPL-3.0-or-later
#include "AcquisitionControl.h"

#include "AcquisitionPanel.h"
#include "AppState.h"
#include "DriverScale.h"
#include "NuvarDriverClass.h"
#include "frmPlot.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <stdexcept>

AcquisitionControl::AcquisitionControl(AcquisitionPanel &panel, QLabel &field1, QLabel &field2,
                                       std::function<frmPlot *()> activePlot, QObject *parent)
    : QObject(parent), m_panel(panel), m_field1(field1), m_field2(field2), m_activePlot(std::move(activePlot))
{
    m_contTimer.setInterval(1);
    m_contTimer.setSingleShot(true);
    connect(&m_contTimer, &QTimer::timeout, this, &AcquisitionControl::contTimer_Timer);
    connect(panel.cmdAcquire(), &QPushButton::clicked, this, &AcquisitionControl::cmdAcquire_Click);
    connect(panel.cmdStop(), &QToolButton::clicked, this, &AcquisitionControl::cmdStop_Click);
    connect(&panel, &AcquisitionPanel::sampleRateClicked, this, &AcquisitionControl::btnSetSampleRate_Click);
}

void AcquisitionControl::setDriver(NuvarDriverClass *driver)
{
    m_driver = driver;
    m_running = false;
    m_contTimer.stop();
    updateCommands();
}

void AcquisitionControl::updateCommands()
{
    m_panel.cmdAcquire()->setEnabled(m_driver && !m_running && !busy());
    m_panel.btnSetSampleRate()->setEnabled(!busy());
}

void AcquisitionControl::enterCall()
{
    if (m_callDepth++ == 0) {
        updateCommands();
        emit busyChanged(true);
    }
}

void AcquisitionControl::leaveCall()
{
    if (--m_callDepth == 0) {
        updateCommands();
        emit busyChanged(false);
    }
}

void AcquisitionControl::returnToIdle()
{
    m_running = false;
    m_panel.cmdStop()->hide();
    updateCommands();
}

void AcquisitionControl::acquisitionFailed(const std::exception &error)
{
    m_field1.setText(QStringLiteral("Acquisition error!"));
    m_field2.setText(QString::fromLocal8Bit(error.what()));
    returnToIdle();
}

void AcquisitionControl::cmdAcquire_Click()
{
    if (!m_driver || m_running || busy())
        return;
    AppState::setDataReady(false);
    m_running = true;
    updateCommands();
    m_panel.cmdStop()->setVisible(m_panel.optContinuous()->isChecked());
    try {
        callDriver([this] {
            m_driver->setSamples(m_panel.sampleCount());
            m_driver->setTriggerType(TRIGGER_NONE);
            m_driver->Configure();
            // The board would acquire with settings it never received.
            if (m_driver->Status() == STATUS_ERROR)
                throw std::runtime_error(driverProblem("the board's settings could not be written").toStdString());
            m_driver->StartAcquisition();
        });
    } catch (const std::exception &error) {
        acquisitionFailed(error);
    }
}

QString AcquisitionControl::driverProblem(const QString &fallback) const
{
    const QString cause = m_driver ? m_driver->LastError() : QString();
    return cause.isEmpty() ? fallback : fallback + QStringLiteral(": ") + cause;
}

void AcquisitionControl::cmdStop_Click()
{
    // Only the mode changes: the acquisition under way runs to its end.
    m_panel.optSingleShot()->setChecked(true);
}

void AcquisitionControl::contTimer_Timer()
{
    if (!m_driver)
        return;
    m_running = true;
    updateCommands();
    m_panel.cmdStop()->show();
    try {
        callDriver([this] { m_driver->StartAcquisition(); });
    } catch (const std::exception &error) {
        acquisitionFailed(error);
    }
}

void AcquisitionControl::btnSetSampleRate_Click()
{
    const std::optional<double> rate = m_panel.sampleRate();
    if (!rate) {
        m_field1.setText(QStringLiteral("Sample rate \"%1\" is not a number: nothing sent").arg(m_panel.txtSampleRate()->text()));
        return;
    }
    if (!m_driver || busy())
        return;
    try {
        callDriver([this, &rate] { m_driver->setSampleRate(*rate); });
    } catch (const std::exception &error) {
        m_field2.setText(QString::fromLocal8Bit(error.what()));
    }
}

void AcquisitionControl::startDataReceive()
{
    try {
        callDriver([this] { m_driver->StartDataReceive(0, m_driver->Samples()); });
    } catch (const std::exception &error) {
        acquisitionFailed(error);
    }
}

void AcquisitionControl::DriverEvent(EventEnum evType)
{
    if (!m_driver && evType <= EVENT_RX_ERROR)
        return;
    QProgressBar &progress = *m_panel.prgAcquisitionProgress();
    switch (evType) {
    case EVENT_ACQ_START:
        m_field1.setText(QStringLiteral("Starting acquisition..."));
        progress.setRange(0, std::max(1, m_driver->Samples()));
        progress.setValue(0);
        break;
    case EVENT_ACQ_CONT:
        m_field1.setText(QStringLiteral("Acquiring data..."));
        progress.setValue(m_driver->CurrentSample());
        break;
    case EVENT_ACQ_FINISH:
        m_field1.setText(QStringLiteral("Acquisition complete..."));
        m_retryCounter = 0;
        startDataReceive();
        break;
    case EVENT_ACQ_ERROR:
        m_field1.setText(QStringLiteral("Acquisition error!"));
        m_field2.setText(driverProblem(QStringLiteral("The acquisition failed")));
        returnToIdle();
        break;
    case EVENT_RX_START:
        m_field1.setText(QStringLiteral("Starting reception of data..."));
        progress.setValue(0);
        break;
    case EVENT_RX_CONT:
        m_field1.setText(QStringLiteral("Receiving data..."));
        progress.setValue(m_driver->SamplesReceived());
        break;
    case EVENT_RX_FINISH:
        finishReception();
        break;
    case EVENT_RX_ERROR:
        if (m_retryCounter < MaxRetries) {
            m_field1.setText(QStringLiteral("Error receiving data: trying again..."));
            ++m_retryCounter;
            startDataReceive();
        } else {
            m_field1.setText(QStringLiteral("Data cannot be received. Check connections and power."));
            m_field2.setText(driverProblem(QStringLiteral("Reception failed")));
            returnToIdle();
        }
        break;
    case EVENT_COMM_IDLE:
        QApplication::processEvents();
        break;
    case EVENT_COMM_START:
        m_field2.setText(QStringLiteral("Waiting for board response ..."));
        break;
    case EVENT_COMM_FINISH:
        m_field2.setText(QStringLiteral("Response received OK"));
        break;
    case EVENT_COMM_ERROR:
        m_field2.setText(QStringLiteral("Error communicating with board!"));
        break;
    }
}

void AcquisitionControl::finishReception()
{
    m_field1.setText(QStringLiteral("Ready"));
    m_panel.prgAcquisitionProgress()->setValue(0);
    const std::int32_t samples = m_driver->Samples();
    try {
        // Sized to the block: a full 43 690-sample acquisition always fits.
        m_receiveBuffer.assign(static_cast<std::size_t>(std::max(samples, 0)) + 1, 0);
        m_driver->GetData(m_receiveBuffer);
        AppState::setDataReady(true);
        if (frmPlot *plot = m_activePlot()) {
            plot->setDeviceID(m_driver->BoardName());
            const double minVolt = m_driver->MinVolt(0);
            const std::int64_t maxCode = m_driver->MaxCode(0);
            const std::int64_t minCode = m_driver->MinCode(0);
            const double maxVolt = m_driver->MaxVolt(0);
            const DriverScale scale = DriverScale::fromRange(minVolt, maxVolt, minCode, maxCode);
            plot->setLSBSize(scale.lsbSize);
            plot->setNumBits(scale.numBits);
            plot->setnumPoints(m_driver->Samples());
            plot->setSampleFreq(m_driver->SampleRate());
            plot->LoadData(m_receiveBuffer);
            plot->UpdatePlot();
        }
    } catch (const std::exception &error) {
        acquisitionFailed(error);
        return;
    }
    if (m_panel.optContinuous()->isChecked()) {
        m_contTimer.start();
    } else {
        returnToIdle();
    }
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
