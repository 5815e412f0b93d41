// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmMain.h"

#include "AcquisitionControl.h"
#include "AcquisitionPanel.h"
#include "AppSettings.h"
#include "AppState.h"
#include "DriverLoader.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverError.h"
#include "SharedPrinter.h"
#include "UserMessage.h"
#include "WindowPlacement.h"
#include "frmAbout.h"
#include "frmPlot.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <array>

namespace {

// The block every program start shows: 256 zero codes of the shipped board.
constexpr int StartupPoints = 256;
constexpr double StartupLsbSize = 5.0 / 16777216.0;
constexpr std::int16_t StartupNumBits = 24;
constexpr double StartupSampleFreq = 20833;

} // namespace

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent), m_mdiArea(new QMdiArea), m_panel(new AcquisitionPanel),
      m_statusField1(new QLabel(QStringLiteral("Ready"))), m_statusField2(new QLabel)
{
    setWindowTitle(QStringLiteral("Velkor Data Acquisition Laboratory"));
    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_panel);
    layout->addWidget(m_mdiArea, 1);
    // The document area scrolls rather than forcing the main window wider.
    m_mdiArea->setMinimumSize(240, 180);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->addWidget(m_statusField1, 1);
    statusBar()->addWidget(m_statusField2, 1);

    m_acquisition = new AcquisitionControl(*m_panel, *m_statusField1, *m_statusField2,
                                           [this] { return activePlot(); }, this);
    connect(m_acquisition, &AcquisitionControl::busyChanged, this, [this](bool busy) {
        updateCommands();
        // A close asked for during a driver call happens right after it.
        if (!busy && m_closePending)
            QTimer::singleShot(0, this, &QWidget::close);
    });
    createMenus();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &frmMain::updateCommands);
}

frmMain::~frmMain()
{
    unload();
    // The document windows go down after this object: nothing of theirs may
    // call back into it meanwhile.
    m_mdiArea->disconnect(this);
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList())
        if (sub->widget())
            sub->widget()->disconnect(this);
}

void frmMain::createMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction *fileNew = file->addAction(QStringLiteral("&New"));
    fileNew->setObjectName(QStringLiteral("mnuFileNew"));
    fileNew->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    // Only start-up creates a document window.
    fileNew->setEnabled(false);
    file->addSeparator();
    QAction *pageSetup = file->addAction(QStringLiteral("Page Set&up..."), this, &frmMain::mnuFilePageSetup_Click);
    pageSetup->setObjectName(QStringLiteral("mnuFilePageSetup"));
    file->addSeparator();
    QAction *exit = file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("mnuFileExit"));

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    QAction *setup = edit->addAction(QStringLiteral("EVM &Setup..."), this, &frmMain::mnuEditEVMSetup_Click);
    setup->setObjectName(QStringLiteral("mnuEditEVMSetup"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction *about = help->addAction(QStringLiteral("&About "), this, &frmMain::mnuHelpAbout_Click);
    about->setObjectName(QStringLiteral("mnuHelpAbout"));
    updateCommands();
}

QAction *frmMain::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void frmMain::updateCommands()
{
    const bool busy = m_acquisition->busy();
    if (QAction *setup = action(QStringLiteral("mnuEditEVMSetup")))
        setup->setEnabled(m_driver && !busy);
    if (QAction *exit = action(QStringLiteral("mnuFileExit")))
        exit->setEnabled(!busy);
}

QString frmMain::statusField(int field) const
{
    return field == 1 ? m_statusField1->text() : field == 2 ? m_statusField2->text() : QString();
}

void frmMain::load()
{
    m_driverLoaded = false;
    WindowPlacement::restore(*this);
    NewDocument();
    loadStartupBlock();
    m_panel->scrNumSamples()->setValue(12);
    m_driverName = AppSettings::read(QStringLiteral("Plugins"), QStringLiteral("DriverName"), QString());
    m_acquisition->setDriver(nullptr);
    m_driver.reset();
    bindDriver(m_driverName);
    updateCommands();
}

frmPlot *frmMain::NewDocument()
{
    ++m_documentCounter;
    auto *plot = new frmPlot;
    m_mfrmPlot = plot;
    connect(plot, &frmPlot::CalcStatus, this, [this, plot] { m_acquisition->mfrmPlot_CalcStatus(*plot); });
    plot->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(plot);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    plot->setWindowTitle(QStringLiteral("Document %1").arg(m_documentCounter));
    if (!isVisible())
        show();
    sub->showMaximized();
    plot->lstDataList()->setFocus();
    m_panel->txtSampleRate()->setFocus();
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
        m_panel->lblDriver()->setText(m_driver->BoardName());
    } catch (const std::exception &) {
        UserMessage::show(this, QStringLiteral("Failed to set board name"));
        return;
    }
    try {
        m_acquisition->callDriver([this] { m_driver->DriverOpen(*this); });
        m_acquisition->setDriver(m_driver.get());
        m_acquisition->callDriver([this] { m_driver->Setup(); });
    } catch (const std::exception &) {
        UserMessage::show(this, QStringLiteral("Failed to open driver"));
    }
}

void frmMain::DriverEvent(EventEnum evType)
{
    m_acquisition->DriverEvent(evType);
}

void frmMain::mnuEditEVMSetup_Click()
{
    if (!m_driver || m_acquisition->busy())
        return;
    try {
        m_acquisition->callDriver([this] { m_driver->Setup(); });
    } catch (const std::exception &error) {
        UserMessage::show(this, QStringLiteral("EVM Setup failed: %1").arg(QString::fromLocal8Bit(error.what())));
    }
}

void frmMain::mnuFilePageSetup_Click()
{
    QPrintDialog dialog(&SharedPrinter::printer(), this);
    dialog.setWindowTitle(QStringLiteral("Page Setup"));
    dialog.exec(); // cancelling keeps the previous choice
}

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_acquisition->busy()) {
        // The driver is waiting for the board inside a nested event loop.
        m_closePending = true;
        event->ignore();
        return;
    }
    unload();
    QMainWindow::closeEvent(event);
}

void frmMain::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    WindowPlacement::save(*this);
    m_acquisition->setDriver(nullptr);
    if (m_driverLoaded) {
        try {
            m_driver->DriverClose();
        } catch (const std::exception &) {
            // The program is closing; a driver that fails to close changes nothing.
        }
        m_driverLoaded = false;
    }
    m_driver.reset();
}
