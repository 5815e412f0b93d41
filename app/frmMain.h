// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NuvarDriverEvents.h"

#include <QMainWindow>
#include <cstdint>
#include <memory>

class NuvarDriverClass;
class frmPlot;
class QLabel;
class QLineEdit;
class QMdiArea;
class QPushButton;
class QScrollBar;

// The main window: the plot windows as documents, the acquisition controls, and
// the board driver, which it creates by the class identifier in the settings
// and receives events from.
class frmMain : public QMainWindow, public NuvarDriverEvents
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The start-up steps: placement, first plot window with the start-up block,
    // then the driver binding.
    void load();

    void DriverEvent(EventEnum evType) override;

    // The plot window active in the document area (the newest one if none is).
    frmPlot *activePlot() const;
    frmPlot *NewDocument();

    NuvarDriverClass *driver() const { return m_driver.get(); }
    bool driverLoaded() const { return m_driverLoaded; }
    QPushButton *cmdAcquire() const { return m_cmdAcquire; }
    QLabel *lblDriver() const { return m_lblDriver; }
    QLineEdit *txtNumSamples() const { return m_txtNumSamples; }
    QLineEdit *txtSampleRate() const { return m_txtSampleRate; }
    QScrollBar *scrNumSamples() const { return m_scrNumSamples; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *createAcquisitionPanel();
    void loadStartupBlock();
    void bindDriver(const QString &driverName);
    void unload();
    void scrNumSamples_Change(int position);

    QMdiArea *m_mdiArea;
    QLabel *m_lblDriver = nullptr;
    QPushButton *m_cmdAcquire = nullptr;
    QLineEdit *m_txtNumSamples = nullptr;
    QLineEdit *m_txtSampleRate = nullptr;
    QScrollBar *m_scrNumSamples = nullptr;

    std::unique_ptr<NuvarDriverClass> m_driver;
    QString m_driverName;
    bool m_driverLoaded = false;
    std::int16_t m_retryCounter = 0;
    frmPlot *m_mfrmPlot = nullptr;
    std::int32_t m_documentCounter = 0;
    bool m_unloaded = false;
};
