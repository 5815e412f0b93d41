// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverEnums.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

class AcquisitionPanel;
class NuvarDriverClass;
class QLabel;
class frmPlot;

// Drives acquisitions through the board driver: Acquire, Stop, the continuous
// restart, the driver's events with their status texts and progress, and the
// hand-over of a received block to the active plot window.
class AcquisitionControl : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRetries = 3;

    AcquisitionControl(AcquisitionPanel &panel, QLabel &field1, QLabel &field2,
                       std::function<frmPlot *()> activePlot, QObject *parent = nullptr);

    // The driver acquisitions go to (nullptr: none bound). Acquire is enabled
    // from here on when one is set.
    void setDriver(NuvarDriverClass *driver);

    void DriverEvent(EventEnum evType);
    void mfrmPlot_CalcStatus(const frmPlot &plot);

    // True while a call into the driver is under way (its waits run the event
    // loop, so user commands can arrive meanwhile).
    bool busy() const { return m_callDepth > 0; }

    // Runs f, a call into the driver, with the commands that reconfigure or
    // replace the driver disabled meanwhile. Rethrows what f throws.
    template <typename F>
    void callDriver(F &&f)
    {
        enterCall();
        try {
            f();
        } catch (...) {
            leaveCall();
            throw;
        }
        leaveCall();
    }

signals:
    // Emitted when busy() changes.
    void busyChanged(bool busy);

private:
    void cmdAcquire_Click();
    void cmdStop_Click();
    void contTimer_Timer();
    void btnSetSampleRate_Click();
    void startDataReceive();
    void finishReception();
    // Returns the controls to idle: Acquire enabled (with a driver), Stop hidden.
    void returnToIdle();
    void acquisitionFailed(const std::exception &error);
    // fallback, followed by the driver's own account of its latest failure.
    QString driverProblem(const QString &fallback) const;
    void updateCommands();
    void enterCall();
    void leaveCall();

    AcquisitionPanel &m_panel;
    QLabel &m_field1;
    QLabel &m_field2;
    std::function<frmPlot *()> m_activePlot;
    NuvarDriverClass *m_driver = nullptr;
    QTimer m_contTimer;
    std::vector<std::int32_t> m_receiveBuffer;
    std::int16_t m_retryCounter = 0;
    bool m_running = false;
    int m_callDepth = 0;
    QElapsedTimer m_calcPaintClock;
};
