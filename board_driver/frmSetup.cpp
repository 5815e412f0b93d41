// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmSetup.h"

#include "csrdrv.h"
#include "kz7305Settings.h"
#include "noSerPortsMsg.h"
#include "serialMonitorVisibility.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// Channel codes of the options CH1 to CH4.
constexpr std::array<std::int16_t, 4> ChannelCodes = {1, 2, 4, 8};
constexpr double OnBoardVolts = 4.096;

QString numberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

frmSetup::frmSetup(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("KZ7305EVM Setup"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_selSerialMonitor = new QCheckBox(QStringLiteral("Serial Monitor"), this);
    m_selSerialMonitor->setObjectName(QStringLiteral("selSerialMonitor"));
    m_lblVoltageProblem = new QLabel(this);
    m_lblVoltageProblem->setObjectName(QStringLiteral("lblVoltageProblem"));
    m_lblVoltageProblem->setStyleSheet(QStringLiteral("color: #b00000"));
    m_lblVoltageProblem->setWordWrap(true);
    m_lblVoltageProblem->hide();
    m_btnOK = new QPushButton(QStringLiteral("OK"), this);
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnOK->setDefault(true);
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto *grid = new QGridLayout;
    grid->addWidget(makePortGroup(), 0, 0);
    grid->addWidget(makeChannelGroup(), 0, 1);
    grid->addWidget(makeAveragingGroup(), 1, 0);
    grid->addWidget(makeReferenceGroup(), 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_selSerialMonitor);
    buttons->addStretch();
    buttons->addWidget(m_btnOK);
    buttons->addWidget(m_btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_lblVoltageProblem);
    layout->addLayout(buttons);

    connect(m_portMenu, &QComboBox::activated, this, &frmSetup::portMenu_Click);
    connect(m_refGroup, &QButtonGroup::idClicked, this, &frmSetup::refSelector_Click);
    connect(m_extVoltage, &QLineEdit::textChanged, this, &frmSetup::extVoltage_Change);
    connect(m_voltageSlider, &QSlider::valueChanged, this, &frmSetup::voltageSlider_Change);
    connect(m_btnOK, &QPushButton::clicked, this, &frmSetup::btnOK_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &frmSetup::btnCancel_Click);
}

QWidget *frmSetup::makePortGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Serial Port"), this);
    m_portMenu = new QComboBox(group);
    m_portMenu->setObjectName(QStringLiteral("portMenu"));
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(m_portMenu);
    return group;
}

QWidget *frmSetup::makeChannelGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Channel To Acquire"), this);
    auto *layout = new QHBoxLayout(group);
    for (int i = 0; i < 4; ++i) {
        auto *option = new QRadioButton(QStringLiteral("CH%1").arg(i + 1), group);
        option->setObjectName(QStringLiteral("optChannel%1").arg(i));
        m_optChannel[std::size_t(i)] = option;
        layout->addWidget(option);
    }
    return group;
}

QWidget *frmSetup::makeAveragingGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Averaging"), this);
    m_avgMenu = new QComboBox(group);
    m_avgMenu->setObjectName(QStringLiteral("avgMenu"));
    // Index n averages 2^n conversions; index 0 is a single one.
    m_avgMenu->addItem(QStringLiteral("None"));
    for (int n = 1; n <= 15; ++n)
        m_avgMenu->addItem(QString::number(1 << n));
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(m_avgMenu);
    layout->addWidget(new QLabel(QStringLiteral("samples"), group));
    layout->addStretch();
    return group;
}

QWidget *frmSetup::makeReferenceGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Reference voltage"), this);
    m_refGroup = new QButtonGroup(this);
    m_refSelector[0] = new QRadioButton(QStringLiteral("On-board (4.096V)"), group);
    m_refSelector[1] = new QRadioButton(QStringLiteral("External:"), group);
    for (int i = 0; i < 2; ++i) {
        m_refSelector[std::size_t(i)]->setObjectName(QStringLiteral("refSelector%1").arg(i));
        m_refGroup->addButton(m_refSelector[std::size_t(i)], i);
    }
    m_extVoltage = new QLineEdit(QStringLiteral("4.096"), group);
    m_extVoltage->setObjectName(QStringLiteral("extVoltage"));
    m_voltageSlider = new QSlider(Qt::Horizontal, group);
    m_voltageSlider->setObjectName(QStringLiteral("voltageSlider"));
    m_voltageSlider->setRange(5, 50); // tenths of a volt
    m_voltageSlider->setValue(41);

    auto *layout = new QGridLayout(group);
    layout->addWidget(m_refSelector[0], 0, 0, 1, 3);
    layout->addWidget(m_refSelector[1], 1, 0);
    layout->addWidget(m_extVoltage, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("volts"), group), 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("0.5 V"), group), 2, 0);
    layout->addWidget(m_voltageSlider, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("5 V"), group), 2, 2);
    return group;
}

std::optional<double> frmSetup::voltageFromText(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (ok)
        return value;
    const double local = QLocale().toDouble(text.trimmed(), &ok);
    return ok ? std::optional<double>(local) : std::nullopt;
}

void frmSetup::setup(kz7305Settings &prnt)
{
    // Probing the ports moves the link's number: take the driver's first.
    const quint16 driverPort = prnt.portNumber();
    m_portMenu->clear();
    QList<quint16> ports;
    if (m_theCsrDrv) {
        m_theCsrDrv->findPorts();
        ports = m_theCsrDrv->portlist();
    }
    if (ports.isEmpty()) {
        m_portsFound = false;
        m_prnt = nullptr;
        // This dialog is not shown yet: the message opens in front of its owner.
        QPointer<noSerPortsMsg> message = new noSerPortsMsg(parentWidget());
        message->showAndWait();
        delete message.data();
        return;
    }
    // The number names the port; the device path says which one it is here.
    for (quint16 port : ports)
        m_portMenu->addItem(QStringLiteral("%1 (%2)").arg(portTable::portName(port), m_theCsrDrv->ports().devicePath(port)),
                            port);
    // The driver's port (a stored one, say) when it is free, else the first.
    m_portMenu->setCurrentIndex(std::max(0, static_cast<int>(ports.indexOf(driverPort))));
    portMenu_Click();
    m_portsFound = true;
    m_prnt = &prnt;

    m_avgMenu->setCurrentIndex(prnt.averages());
    // A channel code of no option (0 before the first setup) shows CH1,
    // which is what OK then stores.
    const auto shown = std::find(ChannelCodes.begin(), ChannelCodes.end(), prnt.channel());
    m_optChannel[shown == ChannelCodes.end() ? 0 : std::size_t(shown - ChannelCodes.begin())]->setChecked(true);
    m_sliderGuard = false;
    m_extVoltage->setText(numberText(prnt.p_vref()));
    const int reference = prnt.p_vref() == OnBoardVolts ? 0 : 1;
    m_refSelector[std::size_t(reference)]->setChecked(true);
    refSelector_Click(reference);
    m_selSerialMonitor->setChecked(prnt.showSerialMonitor());
}

void frmSetup::portMenu_Click()
{
    m_selectedPort = m_portMenu->currentData().toInt();
}

void frmSetup::refSelector_Click(int index)
{
    const bool external = index == 1;
    m_extVoltage->setEnabled(external);
    m_voltageSlider->setEnabled(external);
    if (external)
        extVoltage_Change();
    else
        m_extVoltage->setText(numberText(OnBoardVolts));
}

void frmSetup::extVoltage_Change()
{
    m_lblVoltageProblem->hide();
    const std::optional<double> volts = voltageFromText(m_extVoltage->text());
    if (!volts)
        return; // the slider stays where it is until the text is a number
    m_sliderGuard = true;
    // Nearest tenth within the slider's range, halves to even (lrint's default rounding).
    m_voltageSlider->setValue(static_cast<int>(std::lrint(std::clamp(*volts, MinVoltage, MaxVoltage) * 10.0)));
    m_sliderGuard = false;
}

void frmSetup::voltageSlider_Change()
{
    if (!m_sliderGuard)
        m_extVoltage->setText(numberText(m_voltageSlider->value() / 10.0));
}

void frmSetup::btnOK_Click()
{
    const std::optional<double> volts = voltageFromText(m_extVoltage->text());
    if (!volts || *volts < MinVoltage || *volts > MaxVoltage) {
        m_lblVoltageProblem->setText(
            QStringLiteral("The reference voltage must be a number from 0.5 to 5 volts; \"%1\" is not.")
                .arg(m_extVoltage->text()));
        m_lblVoltageProblem->show();
        m_extVoltage->setFocus();
        m_extVoltage->selectAll();
        return;
    }
    if (m_theCsrDrv)
        m_theCsrDrv->setPortNumber(quint16(m_selectedPort));
    if (m_prnt) {
        m_prnt->setAverages(std::int16_t(m_avgMenu->currentIndex()));
        std::int16_t channel = 1;
        for (std::size_t i = 1; i < ChannelCodes.size(); ++i) {
            if (m_optChannel[i]->isChecked())
                channel = ChannelCodes[i];
        }
        m_prnt->setChannel(channel);
        m_prnt->setP_vref(*volts);
        m_prnt->setShowSerialMonitor(m_selSerialMonitor->isChecked());
        serialMonitorVisibility::apply(m_selSerialMonitor->isChecked());
    }
    unload();
}

void frmSetup::btnCancel_Click()
{
    unload();
}

void frmSetup::unload()
{
    m_theCsrDrv = nullptr;
    m_prnt = nullptr;
    close();
}
