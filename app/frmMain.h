// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <cstdint>

class AcquisitionControl;
class AcquisitionPanel;
class GraphToolActions;
class NuvarDriverClass;
class QAction;
class QLabel;
class QMdiArea;
class RemoteControlSwitch;
class QMenu;
class frmCharacterisation;
class frmNoiseTrend;
class frmPlot;

// The main window: the plot windows as documents, the acquisition controls,
// the menus, and the binding of the board driver named by the class identifier
// in the settings.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The start-up steps: placement, first plot window with the start-up block,
    // then the driver binding.
    void load();
    // A device path the driver opens, whole, once it is bound (before the
    // stored board settings): it becomes the first port the dialog offers.
    void offerPort(const QString &devicePath) { m_offeredPort = devicePath; }

    // The plot window active in the document area (the newest one if none is).
    frmPlot *activePlot() const;
    frmPlot *NewDocument();

    NuvarDriverClass *driver() const;
    AcquisitionPanel *panel() const { return m_panel; }
    AcquisitionControl *acquisition() const { return m_acquisition; }
    QString statusField(int field) const;
    QAction *action(const QString &objectName) const;
    // The noise trend window, created when first shown.
    frmNoiseTrend *noiseTrendWindow();
    frmCharacterisation *characterisationWindow();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QList<QAction *> m_recentEntries;
    void createMenus();
    void loadStartupBlock();
    // Whether the plot windows' blocks may be analysed, for every document
    // window and the ones created from now on.
    void setPlotsDataReady(bool ready);
    void bindDriver(const QString &driverName);
    void watchSetupDialog();
    void unload();
    void closeOtherWindows();
    // Shows the notes of stored settings that were refused in the status bar.
    void noteRefusedSettings(const QStringList &notes);
    void updateCommands();
    // Runs a command of the active plot window; a failure becomes a message box.
    void runPlotCommand(const QString &name, void (frmPlot::*command)());
    // The recent files as entries of the File menu, above its Exit entry.
    void fillRecentFiles(QMenu &menu);
    void openRecentFile(const QString &path);
    // The caption, with the active plot window's file name when it shows one.
    void updateTitle();
    void mnuEditEVMSetup_Click();
    void mnuFilePageSetup_Click();
    void mnuHelpAbout_Click();

    QMdiArea *m_mdiArea;
    AcquisitionPanel *m_panel;
    QLabel *m_statusField1;
    QLabel *m_statusField2;
    AcquisitionControl *m_acquisition;
    GraphToolActions *m_graphTools = nullptr;
    RemoteControlSwitch *m_remoteControl = nullptr;

    QString m_driverName;
    QString m_offeredPort;
    QPointer<frmPlot> m_mfrmPlot;
    bool m_plotsDataReady = true;
    frmNoiseTrend *m_noiseTrend = nullptr;
    frmCharacterisation *m_characterisation = nullptr;
    std::int32_t m_documentCounter = 0;
    bool m_closePending = false;
    bool m_unloaded = false;
};
