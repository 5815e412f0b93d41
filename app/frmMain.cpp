// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmMain.h"

#include "AcquisitionControl.h"
#include "AcquisitionPanel.h"
#include "AppSettings.h"
#include "BoardSession.h"
#include "GraphToolActions.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverError.h"
#include "NuvarDriverSettings.h"
#include "RecentFiles.h"
#include "RememberedSettings.h"
#include "RemoteControlSwitch.h"
#include "SharedPrinter.h"
#include "UserMessage.h"
#include "WindowPlacement.h"
#include "frmAbout.h"
#include "frmKeyboardHelp.h"
#include "frmCharacterisation.h"
#include "frmNoiseTrend.h"
#include "frmPlot.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
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
#include <QStyle>
#include <QToolBar>
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
    layout->setContentsMargins(4, 4, 2, 2);
    layout->addWidget(m_panel);
    layout->addWidget(m_mdiArea, 1);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->addWidget(m_statusField1, 1);
    statusBar()->addWidget(m_statusField2, 1);

    m_acquisition = new AcquisitionControl(*m_panel, *m_statusField1, *m_statusField2,
                                           [this] { return activePlot(); }, this);
    connect(m_acquisition, &AcquisitionControl::plotDataReady, this, &frmMain::setPlotsDataReady);
    connect(m_acquisition, &AcquisitionControl::busyChanged, this, [this](bool busy) {
        updateCommands();
        // A close asked for during a driver call happens right after it.
        if (!busy && m_closePending)
            QTimer::singleShot(0, this, &QWidget::close);
    });
    m_graphTools = new GraphToolActions([this] { return activePlot(); }, this);
    createMenus();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &frmMain::updateCommands);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &frmMain::updateTitle);
}

frmMain::~frmMain()
{
    // No client may drive the board while it is released.
    delete m_remoteControl;
    m_remoteControl = nullptr;
    unload();
    // The document windows go down after this object: nothing of theirs may
    // call back into it meanwhile.
    m_mdiArea->disconnect(this);
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList())
        if (sub->widget())
            sub->widget()->disconnect(this);
}

frmCharacterisation *frmMain::characterisationWindow()
{
    if (!m_characterisation)
        m_characterisation = new frmCharacterisation(m_acquisition->board(), [this](const QString &path) {
            NewDocument()->openFile(path);
        }, this);
    return m_characterisation;
}

frmNoiseTrend *frmMain::noiseTrendWindow()
{
    if (!m_noiseTrend) {
        m_noiseTrend = new frmNoiseTrend(m_acquisition->noiseTrend(), this);
        connect(m_acquisition, &AcquisitionControl::trendChanged, m_noiseTrend, [this](const QString &problem) {
            m_noiseTrend->refresh();
            if (!problem.isEmpty())
                m_noiseTrend->showLogProblem(problem);
        });
    }
    return m_noiseTrend;
}

void frmMain::createMenus()
{
    auto addMenu = [this](const char *name, const QString &caption) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    auto addEntry = [this](QMenu *menu, const char *name, const QString &caption, auto slot) {
        QAction *entry = menu->addAction(caption, this, slot);
        entry->setObjectName(QLatin1String(name));
        return entry;
    };

    QMenu *file = addMenu("mnuFile", QStringLiteral("&File"));
    QAction *fileNew = addEntry(file, "mnuFileNew", QStringLiteral("&New"), &frmMain::NewDocument);
    fileNew->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    fileNew->setEnabled(false); // only start-up creates a document window
    QAction *open = addEntry(file, "mnuFileOpen", QStringLiteral("&Open..."), [this] { runPlotCommand(QStringLiteral("Open"), &frmPlot::OpenFile); });
    open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    file->addSeparator();
    QAction *save = addEntry(file, "mnuFileSave", QStringLiteral("&Save As..."), [this] { runPlotCommand(QStringLiteral("Save"), &frmPlot::SaveData); });
    file->addSeparator();
    addEntry(file, "mnuFilePageSetup", QStringLiteral("Page Set&up..."), &frmMain::mnuFilePageSetup_Click);
    QAction *print = addEntry(file, "mnuFilePrint", QStringLiteral("&Print..."), [this] { runPlotCommand(QStringLiteral("Print"), &frmPlot::PrintGraph); });
    addEntry(file, "mnuFileExportGraph", QStringLiteral("&Export Graph..."), [this] { runPlotCommand(QStringLiteral("Export Graph"), &frmPlot::ExportGraph); });
    file->addSeparator();
    addEntry(file, "mnuFileExit", QStringLiteral("E&xit"), &QWidget::close);
    connect(file, &QMenu::aboutToShow, this, [this, file] { fillRecentFiles(*file); });

    QMenu *edit = addMenu("mnuEdit", QStringLiteral("&Edit"));
    addEntry(edit, "mnuEditEVMSetup", QStringLiteral("EVM &Setup..."), &frmMain::mnuEditEVMSetup_Click);

    QMenu *view = addMenu("mnuView", QStringLiteral("&View"));
    const std::array<std::pair<const char *, const char *>, 4> views{
        {{"mnuViewScope", "Scope"}, {"mnuViewFFT", "FFT"}, {"mnuViewHistogram", "Histogram"}, {"mnuViewData", "Data"}}};
    for (int tab = 0; tab < int(views.size()); ++tab)
        addEntry(view, views[std::size_t(tab)].first, QLatin1String(views[std::size_t(tab)].second), [this, tab] {
            if (frmPlot *plot = activePlot())
                plot->selectTab(tab);
        });
    view->addSeparator();
    addEntry(view, "mnuViewNoiseTrend", QStringLiteral("Noise &Trend"), [this] {
        frmNoiseTrend *trend = noiseTrendWindow();
        trend->show();
        trend->raise();
    });

    QMenu *tools = addMenu("mnuTools", QStringLiteral("&Tools"));
    addEntry(tools, "mnuToolsCharacterisation", QStringLiteral("Characterisation Run..."), [this] {
        frmCharacterisation *run = characterisationWindow();
        run->show();
        run->raise();
    });
    tools->addSeparator();
    for (QAction *entry : m_graphTools->entries()) {
        if (entry)
            tools->addAction(entry);
        else
            tools->addSeparator();
    }
    tools->addSeparator();
    m_remoteControl = new RemoteControlSwitch(m_acquisition->board(), this);
    tools->addAction(m_remoteControl->action());
    statusBar()->addPermanentWidget(m_remoteControl->statusField());

    QMenu *help = addMenu("mnuHelp", QStringLiteral("&Help"));
    addEntry(help, "mnuHelpKeyboard", QStringLiteral("&Keyboard and Mouse"), [this] {
        frmKeyboardHelp keys(this);
        keys.exec();
    });
    addEntry(help, "mnuHelpAbout", QStringLiteral("&About "), &frmMain::mnuHelpAbout_Click);

    QToolBar *toolBar = addToolBar(QStringLiteral("Toolbar"));
    toolBar->setObjectName(QStringLiteral("tbToolBar"));
    toolBar->setMovable(false);
    auto addTool = [&](QAction *command, const char *key, const QString &theme, QStyle::StandardPixmap fallback) {
        QAction *button = toolBar->addAction(QIcon::fromTheme(theme, style()->standardIcon(fallback)), QLatin1String(key));
        button->setObjectName(QStringLiteral("tb%1").arg(QLatin1String(key)));
        button->setToolTip(command->text().remove(QLatin1Char('&')).remove(QStringLiteral("...")));
        connect(button, &QAction::triggered, command, &QAction::trigger);
    };
    addTool(open, "Open", QStringLiteral("document-open"), QStyle::SP_DialogOpenButton);
    addTool(save, "Save", QStringLiteral("document-save"), QStyle::SP_DialogSaveButton);
    addTool(print, "Print", QStringLiteral("document-print"), QStyle::SP_FileDialogDetailedView);
    toolBar->addSeparator();
    toolBar->addActions(m_graphTools->commands());
    updateCommands();
}

void frmMain::runPlotCommand(const QString &name, void (frmPlot::*command)())
{
    frmPlot *plot = activePlot();
    if (!plot)
        return;
    try {
        (plot->*command)();
    } catch (const std::exception &error) {
        UserMessage::show(this, QStringLiteral("%1 failed: %2").arg(name, QString::fromLocal8Bit(error.what())));
    }
}

QAction *frmMain::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName);
}

void frmMain::updateCommands()
{
    const bool busy = m_acquisition->busy();
    const bool hasPlot = activePlot() != nullptr;
    m_graphTools->setEnabled(hasPlot);
    for (const char *name : {"mnuFileOpen", "mnuFileSave", "mnuFilePrint", "mnuFileExportGraph", "mnuViewScope",
                             "mnuViewFFT", "mnuViewHistogram", "mnuViewData", "tbOpen", "tbSave", "tbPrint"})
        if (QAction *entry = action(QLatin1String(name)))
            entry->setEnabled(hasPlot);
    if (QAction *setup = action(QStringLiteral("mnuEditEVMSetup")))
        setup->setEnabled(driver() && !busy);
    if (QAction *exit = action(QStringLiteral("mnuFileExit")))
        exit->setEnabled(!busy);
}

NuvarDriverClass *frmMain::driver() const
{
    return m_acquisition->board().driver();
}

QString frmMain::statusField(int field) const
{
    return field == 1 ? m_statusField1->text() : field == 2 ? m_statusField2->text() : QString();
}

void frmMain::load()
{
    WindowPlacement::restore(*this);
    NewDocument();
    loadStartupBlock();
    m_panel->scrNumSamples()->setValue(12);
    noteRefusedSettings(RememberedSettings::restoreWindow(*m_panel, *m_mfrmPlot));
    m_driverName = AppSettings::read(QStringLiteral("Plugins"), QStringLiteral("DriverName"), QString());
    bindDriver(m_driverName);
    updateCommands();
}

frmPlot *frmMain::NewDocument()
{
    ++m_documentCounter;
    auto *plot = new frmPlot;
    m_mfrmPlot = plot;
    plot->document().setDataReady(m_plotsDataReady);
    connect(plot, &frmPlot::dataLoaded, this, [this] { setPlotsDataReady(true); });
    connect(plot, &frmPlot::CalcStatus, this, [this, plot] { m_acquisition->mfrmPlot_CalcStatus(*plot); });
    m_graphTools->attach(*plot);
    connect(plot, &frmPlot::commandDone, this, [this](const QString &text) { statusBar()->showMessage(text, 10000); });
    plot->setAttribute(Qt::WA_DeleteOnClose);
    // Once the window is gone, the commands that act on it may have no target.
    connect(plot, &QObject::destroyed, this, [this] { QTimer::singleShot(0, this, &frmMain::updateCommands); });
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(plot);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The document area is never smaller than a plot window shows whole, so
    // the main window's minimum size keeps every plot window unclipped.
    m_mdiArea->setMinimumSize(m_mdiArea->minimumSize().expandedTo(sub->minimumSizeHint()));
    plot->setWindowTitle(QStringLiteral("Document %1").arg(m_documentCounter));
    connect(plot, &QWidget::windowTitleChanged, this, &frmMain::updateTitle);
    // Queued: the document area puts back the caption of its own first.
    connect(sub, &QMdiSubWindow::windowStateChanged, this, &frmMain::updateTitle, Qt::QueuedConnection);
    if (!isVisible())
        show();
    sub->showMaximized();
    plot->lstDataList()->setFocus();
    m_panel->txtSampleRate()->setFocus();
    return plot;
}

void frmMain::fillRecentFiles(QMenu &menu)
{
    QAction *exit = action(QStringLiteral("mnuFileExit"));
    QMenu *file = &menu;
    if (!exit)
        return;
    qDeleteAll(m_recentEntries);
    m_recentEntries.clear();
    const QStringList files = RecentFiles::files();
    for (int n = 0; n < files.size(); ++n) {
        auto *entry = new QAction(QStringLiteral("&%1 %2").arg(n + 1).arg(QFileInfo(files[n]).fileName()), file);
        entry->setObjectName(QStringLiteral("mnuFileRecent%1").arg(n + 1));
        entry->setToolTip(files[n]);
        entry->setEnabled(activePlot() != nullptr);
        connect(entry, &QAction::triggered, this, [this, path = files[n]] { openRecentFile(path); });
        file->insertAction(exit, entry);
        m_recentEntries.append(entry);
    }
    if (!files.isEmpty())
        m_recentEntries.append(file->insertSeparator(exit));
}

void frmMain::openRecentFile(const QString &path)
{
    if (frmPlot *plot = activePlot())
        plot->openFile(path);
}

void frmMain::updateTitle()
{
    const QString caption = QStringLiteral("Velkor Data Acquisition Laboratory");
    // A maximised document window adds its own title, file name included.
    const QMdiSubWindow *sub = m_mdiArea->activeSubWindow();
    const frmPlot *plot = sub && sub->isMaximized() ? nullptr : activePlot();
    const QString file = plot ? plot->fileName() : QString();
    setWindowTitle(file.isEmpty() ? caption : caption + QStringLiteral(" - ") + file);
}

frmPlot *frmMain::activePlot() const
{
    if (QMdiSubWindow *sub = m_mdiArea->activeSubWindow())
        return qobject_cast<frmPlot *>(sub->widget());
    return m_mfrmPlot;
}

void frmMain::setPlotsDataReady(bool ready)
{
    m_plotsDataReady = ready;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList())
        if (auto *plot = qobject_cast<frmPlot *>(sub->widget()))
            plot->document().setDataReady(ready);
}

void frmMain::loadStartupBlock()
{
    frmPlot *plot = activePlot();
    if (!plot)
        return;
    SampleBlock block;
    block.deviceId = QStringLiteral("KZ7305EVM");
    block.lsbSize = StartupLsbSize;
    block.numBits = StartupNumBits;
    block.sampleFreq = StartupSampleFreq;
    block.samples.assign(StartupPoints, 0);
    plot->setBlock(block);
    plot->UpdatePlot();
}

void frmMain::bindDriver(const QString &driverName)
{
    BoardSession &board = m_acquisition->board();
    if (!board.load(driverName)) {
        UserMessage::show(this, QStringLiteral("Failed to create driver object"));
        return;
    }
    NuvarDriverClass &driver = *board.driver();
    try {
        const qsizetype dot = driverName.indexOf(QLatin1Char('.'));
        if (dot < 0)
            throw NuvarDriverError("driver class identifier without \".\"");
        driver.setBoardName(driverName.left(dot));
        m_panel->lblDriver()->setText(driver.BoardName());
    } catch (const std::exception &) {
        UserMessage::show(this, QStringLiteral("Failed to set board name"));
        return;
    }
    try {
        board.open();
        // The setup dialog belongs to this window: it opens above it, centred.
        driver.sethWndParent(static_cast<std::int32_t>(static_cast<quint32>(winId())));
        NuvarDriverSettings *named = board.namedSettings();
        if (named && !m_offeredPort.isEmpty())
            named->setSettingValue(QString::fromLatin1(NuvarDriverSettings::PortPath), m_offeredPort);
        // The stored board settings first, so the setup dialog shows them.
        noteRefusedSettings(RememberedSettings::restoreDriver(driver));
        m_acquisition->callDriver([&driver] { driver.Setup(); });
        watchSetupDialog();
    } catch (const std::exception &) {
        UserMessage::show(this, QStringLiteral("Failed to open driver"));
    }
}

void frmMain::watchSetupDialog()
{
    // The setup dialog stays open beside this window: once it has gone, the
    // port whose absence the status bar reports may have been chosen.
    for (QDialog *dialog : findChildren<QDialog *>(Qt::FindDirectChildrenOnly))
        connect(dialog, &QObject::destroyed, m_acquisition, &AcquisitionControl::forgetFailure, Qt::UniqueConnection);
}

void frmMain::noteRefusedSettings(const QStringList &notes)
{
    if (notes.isEmpty())
        return;
    QStringList shown = notes;
    if (!statusBar()->currentMessage().isEmpty())
        shown.prepend(statusBar()->currentMessage());
    // Long enough to be read after the setup dialog.
    statusBar()->showMessage(shown.join(QStringLiteral("; ")), 30000);
}

void frmMain::mnuEditEVMSetup_Click()
{
    NuvarDriverClass *bound = driver();
    if (!bound || m_acquisition->busy())
        return;
    try {
        m_acquisition->callDriver([bound] { bound->Setup(); });
        watchSetupDialog();
    } catch (const std::exception &error) {
        UserMessage::show(this, QStringLiteral("EVM Setup failed: %1").arg(QString::fromLocal8Bit(error.what())));
        return;
    }
    // The user is setting the board up again: an earlier failure is history.
    m_acquisition->forgetFailure();
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
        // The driver is waiting inside a nested event loop, for the board or
        // a message window: both waits are ended, and the close follows.
        m_closePending = true;
        m_acquisition->abortDriverWaits();
        closeOtherWindows();
        event->ignore();
        return;
    }
    unload();
    closeOtherWindows();
    QMainWindow::closeEvent(event);
}

void frmMain::closeOtherWindows()
{
    // A message window left open would keep the program running unseen.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
}

void frmMain::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    WindowPlacement::save(*this);
    RememberedSettings::save(*m_panel, m_mfrmPlot, driver());
    m_acquisition->board().close();
}
