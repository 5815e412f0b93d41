// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmMain.h"

#include "AppSettings.h"
#include "AppState.h"
#include "DriverLoader.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverError.h"
#include "UserMessage.h"
#include "WindowPlacement.h"
#include "frmPlot.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <array>
#include <cmath>

namespace {

// The block every program start shows: 256 zero codes of the shipped board.
constexpr int StartupPoints = 256;
constexpr double StartupLsbSize = 5.0 / 16777216.0;
constexpr std::int16_t StartupNumBits = 24;
constexpr double StartupSampleFreq = 20833;

} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    setWindowTitle(QStringLiteral("KZ7305EVM"));
    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(createAcquisitionPanel());
    layout->addWidget(m_mdiArea, 1);
    setCentralWidget(central);
}

frmMain::~frmMain()
{
    unload();
}

QWidget *frmMain::createAcquisitionPanel()
{
    auto *panel = new QWidget(this);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    auto *evm = new QGroupBox(QStringLiteral("EVM"), panel);
    auto *evmLayout = new QVBoxLayout(evm);
    m_lblDriver = new QLabel(QStringLiteral("Driver Name"), evm);
    evmLayout->addWidget(m_lblDriver);
    column->addWidget(evm);

    auto *samples = new QWidget(panel);
    auto *samplesLayout = new QFormLayout(samples);
    auto *countRow = new QHBoxLayout;
    m_txtNumSamples = new QLineEdit(QStringLiteral("256"), samples);
    m_scrNumSamples = new QScrollBar(Qt::Vertical, samples);
    m_scrNumSamples->setRange(4, 17);
    m_scrNumSamples->setFixedHeight(m_txtNumSamples->sizeHint().height());
    countRow->addWidget(m_txtNumSamples);
    countRow->addWidget(m_scrNumSamples);
    samplesLayout->addRow(QStringLiteral("Number of Samples:"), countRow);
    auto *rateRow = new QHBoxLayout;
    m_txtSampleRate = new QLineEdit(QStringLiteral("20833"), samples);
    rateRow->addWidget(m_txtSampleRate);
    rateRow->addWidget(new QLabel(QStringLiteral("Hz"), samples));
    samplesLayout->addRow(QStringLiteral("Sample Data Rate:"), rateRow);
    column->addWidget(samples);

    m_cmdAcquire = new QPushButton(QStringLiteral("Acquire"), panel);
    m_cmdAcquire->setToolTip(QStringLiteral("performs one acquisition cycle"));
    m_cmdAcquire->setEnabled(false);
    column->addWidget(m_cmdAcquire);
    column->addStretch(1);

    connect(m_scrNumSamples, &QScrollBar::valueChanged, this, &frmMain::scrNumSamples_Change);
    return panel;
}

void frmMain::scrNumSamples_Change(int position)
{
    const long long n = 1LL << std::clamp(20 - position, 0, 30);
    if (n > 1)
        m_txtNumSamples->setText(QString::number(std::min<long long>(n, 43690)));
}

void frmMain::load()
{
    m_driverLoaded = false;
    WindowPlacement::restore(*this);
    NewDocument();
    loadStartupBlock();
    // The slider's start position is not its minimum, so this always fires once.
    m_scrNumSamples->setValue(12);
    scrNumSamples_Change(12);
    m_driverName = AppSettings::read(QStringLiteral("Plugins"), QStringLiteral("DriverName"), QString());
    m_cmdAcquire->setEnabled(false);
    m_driver.reset();
    bindDriver(m_driverName);
}

frmPlot *frmMain::NewDocument()
{
    ++m_documentCounter;
    auto *plot = new frmPlot;
    m_mfrmPlot = plot;
    plot->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(plot);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    plot->setWindowTitle(QStringLiteral("Document %1").arg(m_documentCounter));
    connect(plot, &QObject::destroyed, this, [this, plot] {
        if (m_mfrmPlot == plot)
            m_mfrmPlot = nullptr;
    });
    if (!isVisible())
        show();
    sub->showMaximized();
    plot->lstDataList()->setFocus();
    m_txtSampleRate->setFocus();
    return plot;
}

frmPlot *frmMain::activePlot() const
{
    if (QMdiSubWindow *sub = m_mdiArea->activeSubWindow())
        return qobject_cast<frmPlot *>(sub->widget());
    return m_mfrmPlot;
}

void frmMain::loadStartupBlock()
{
    std::array<std::int32_t, StartupPoints + 1> buffer{};
    AppState::setDataReady(true);
    frmPlot *plot = activePlot();
    if (!plot)
        return;
    plot->setDeviceID(QStringLiteral("KZ7305EVM"));
    plot->setLSBSize(StartupLsbSize);
    plot->setNumBits(StartupNumBits);
    plot->setnumPoints(StartupPoints);
    plot->setSampleFreq(StartupSampleFreq);
    plot->LoadData(buffer);
    plot->UpdatePlot();
}

void frmMain::bindDriver(const QString &driverName)
{
    m_driver = DriverLoader::create(driverName);
    if (!m_driver) {
        UserMessage::show(this, QStringLiteral("Failed to create driver object"));
        return;
    }
    m_driverLoaded = true;
    try {
        const qsizetype dot = driverName.indexOf(QLatin1Char('.'));
        if (dot < 0)
            throw NuvarDriverError("driver class identifier without \".\"");
        m_driver->setBoardName(driverName.left(dot));
        m_lblDriver->setText(m_driver->BoardName());
    } catch (const std::exception &) {
        UserMessage::show(this, QStringLiteral("Failed to set board name"));
        return;
    }
    try {
        m_driver->DriverOpen(*this);
        m_cmdAcquire->setEnabled(true);
        m_driver->Setup();
    } catch (const std::exception &) {
        UserMessage::show(this, QStringLiteral("Failed to open driver"));
    }
}

void frmMain::DriverEvent(EventEnum)
{
}

void frmMain::closeEvent(QCloseEvent *event)
{
    unload();
    QMainWindow::closeEvent(event);
}

void frmMain::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    WindowPlacement::save(*this);
    if (m_driverLoaded) {
        try {
            m_driver->DriverClose();
        } catch (const std::exception &) {
            // The program is closing; a driver that fails to close changes nothing.
        }
        m_driverLoaded = false;
    }
    m_cmdAcquire->setEnabled(false);
    m_driver.reset();
}
