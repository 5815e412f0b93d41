// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>

#include "csrdrv.h"

#include <array>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

class kz7305Settings;

// The board's settings dialog: serial port, input channel, averaging,
// reference voltage and serial monitor. setup() fills it from the link and
// the driver; OK writes back into both, Cancel writes nothing. It deletes
// itself when it closes.
class frmSetup : public QDialog
{
    Q_OBJECT

public:
    static constexpr double MinVoltage = 0.5;
    static constexpr double MaxVoltage = 5.0;

    explicit frmSetup(QWidget *parent = nullptr);

    void setTheCsrDrv(csrdrv *link) { m_theCsrDrv = link; }
    void setup(kz7305Settings &prnt);
    bool portsFound() const { return m_portsFound; }
    int selectedPort() const { return m_selectedPort; }

    // Controls, for the driver's callers and the tests.
    QComboBox *portMenu() const { return m_portMenu; }
    QRadioButton *optChannel(int index) const { return m_optChannel.at(std::size_t(index)); }
    QComboBox *avgMenu() const { return m_avgMenu; }
    QRadioButton *refSelector(int index) const { return m_refSelector.at(std::size_t(index)); }
    QLineEdit *extVoltage() const { return m_extVoltage; }
    QSlider *voltageSlider() const { return m_voltageSlider; }
    QCheckBox *selSerialMonitor() const { return m_selSerialMonitor; }
    QLabel *lblVoltageProblem() const { return m_lblVoltageProblem; }
    QPushButton *btnOK() const { return m_btnOK; }
    QPushButton *btnCancel() const { return m_btnCancel; }

    // The voltage text as a number: '.' or the user's decimal separator.
    static std::optional<double> voltageFromText(const QString &text);

private:
    QWidget *makePortGroup();
    QWidget *makeChannelGroup();
    QWidget *makeAveragingGroup();
    QWidget *makeReferenceGroup();

    void portMenu_Click();
    void refSelector_Click(int index);
    void extVoltage_Change();
    void voltageSlider_Change();
    void btnOK_Click();
    void btnCancel_Click();
    void unload();

    QComboBox *m_portMenu = nullptr;
    std::array<QRadioButton *, 4> m_optChannel{};
    QComboBox *m_avgMenu = nullptr;
    std::array<QRadioButton *, 2> m_refSelector{};
    QButtonGroup *m_refGroup = nullptr;
    QLineEdit *m_extVoltage = nullptr;
    QSlider *m_voltageSlider = nullptr;
    QCheckBox *m_selSerialMonitor = nullptr;
    QLabel *m_lblVoltageProblem = nullptr;
    QPushButton *m_btnOK = nullptr;
    QPushButton *m_btnCancel = nullptr;

    QPointer<csrdrv> m_theCsrDrv;
    kz7305Settings *m_prnt = nullptr;
    bool m_portsFound = false;
    int m_selectedPort = 0;
    bool m_sliderGuard = false;
};
