// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menus and toolbar: each command reaches its target, and
// commands without a target are unavailable.
#include "FileDialogs.h"
#include "Plot.h"
#include "RecentFiles.h"
#include "SharedPrinter.h"
#include "UserMessage.h"
#include "frmAbout.h"
#include "frmMain.h"
#include "frmPlot.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QPrinter>
#include <QPushButton>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

class tst_main_commands : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QStringList m_messages;
    QString m_nextPath;

    std::unique_ptr<frmMain> start()
    {
        auto window = std::make_unique<frmMain>();
        window->load();
        m_messages.clear();
        return window;
    }

    static void trigger(frmMain &window, const char *name)
    {
        QAction *entry = window.action(QLatin1String(name));
        QVERIFY2(entry, name);
        QVERIFY2(entry->isEnabled(), name);
        entry->trigger();
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        qputenv("KZ7305EVM_PLUGIN_PATH", "");
        UserMessage::setHandler([this](const QString &text) { m_messages << text; });
        FileDialogs::setHandler([this](FileDialogs::Mode, const QString &) { return m_nextPath; });
    }

    void menuVocabulary()
    {
        auto window = start();
        const std::vector<std::pair<const char *, QString>> entries = {
            {"mnuFileNew", "&New"}, {"mnuFileOpen", "&Open..."}, {"mnuFileSave", "&Save As..."},
            {"mnuFilePageSetup", "Page Set&up..."}, {"mnuFilePrint", "&Print..."}, {"mnuFileExit", "E&xit"},
            {"mnuEditEVMSetup", "EVM &Setup..."}, {"mnuViewScope", "Scope"}, {"mnuViewFFT", "FFT"},
            {"mnuViewHistogram", "Histogram"}, {"mnuViewData", "Data"}, {"mnuHelpAbout", "&About "}};
        for (const auto &[name, caption] : entries) {
            QAction *entry = window->action(QLatin1String(name));
            QVERIFY2(entry, name);
            QCOMPARE(entry->text(), caption);
        }
        QCOMPARE(window->action(QStringLiteral("mnuFileNew"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
        QVERIFY(!window->action(QStringLiteral("mnuFileNew"))->isEnabled());
        // The document area adds the maximised document's caption in brackets.
        QVERIFY(window->windowTitle().startsWith(QStringLiteral("Velkor Data Acquisition Laboratory")));
        // No driver could be bound: its setup has no target.
        QVERIFY(!window->action(QStringLiteral("mnuEditEVMSetup"))->isEnabled());
    }

    void viewEntriesSelectTabs()
    {
        auto window = start();
        frmPlot *plot = window->activePlot();
        const std::vector<std::pair<const char *, int>> views = {
            {"mnuViewData", 3}, {"mnuViewFFT", 1}, {"mnuViewHistogram", 2}, {"mnuViewScope", 0}};
        for (const auto &[name, tab] : views) {
            trigger(*window, name);
            QCOMPARE(plot->SSTab1()->currentIndex(), tab);
        }
        QCOMPARE(plot->currentView(), std::int16_t(frmPlot::TimeDomain));
    }

    void saveAndOpenReachThePlotWindow()
    {
        auto window = start();
        m_nextPath = m_dir.filePath(QStringLiteral("block.csv"));
        trigger(*window, "mnuFileSave");
        QVERIFY(QFile::exists(m_nextPath));
        QVERIFY(m_messages.isEmpty());

        window->activePlot()->setnumPoints(8);
        window->activePlot()->UpdatePlot();
        trigger(*window, "tbOpen");
        QCOMPARE(window->activePlot()->numPoints(), 256);
        QVERIFY(QFile::remove(m_nextPath));
        trigger(*window, "tbSave");
        QVERIFY(QFile::exists(m_nextPath));
    }

    void recentFilesFolderAndTitles()
    {
        auto window = start();
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("data")));
        const QString folder = m_dir.filePath(QStringLiteral("data"));
        for (int n = 1; n <= 6; ++n) {
            m_nextPath = folder + QStringLiteral("/block%1.csv").arg(n);
            trigger(*window, "mnuFileSave");
        }
        QCOMPARE(RecentFiles::lastFolder(), folder); // where Open and Save start next
        m_nextPath = folder + QStringLiteral("/block3.csv");
        trigger(*window, "mnuFileOpen");
        QVERIFY(window->activePlot()->windowTitle().endsWith(QLatin1String(" - block3.csv")));
        QVERIFY2(window->windowTitle().contains(QLatin1String("block3.csv")), qPrintable(window->windowTitle()));
        window->activePlot()->parentWidget()->showNormal();
        QTRY_COMPARE(window->windowTitle(), QStringLiteral("Velkor Data Acquisition Laboratory - block3.csv"));

        auto *file = window->findChild<QMenu *>(QStringLiteral("mnuFile"));
        QVERIFY(file);
        emit file->aboutToShow();
        const QStringList newestFirst{QStringLiteral("block3.csv"), QStringLiteral("block6.csv"),
                                      QStringLiteral("block5.csv"), QStringLiteral("block4.csv"),
                                      QStringLiteral("block2.csv")};
        for (int n = 1; n <= 5; ++n) {
            QAction *entry = window->action(QStringLiteral("mnuFileRecent%1").arg(n));
            QVERIFY(entry);
            QVERIFY(entry->text().endsWith(newestFirst[n - 1]));
        }
        QVERIFY(!window->action(QStringLiteral("mnuFileRecent6")));
        trigger(*window, "mnuFileRecent2");
        QVERIFY(window->windowTitle().contains(QLatin1String("block6.csv")));
        QVERIFY(m_messages.isEmpty());
    }

    // The Tools menu's graph tools act on the active plot window's graph, and
    // the toolbar and the graph's context menu offer the same commands.
    void graphToolsReachTheActiveGraph()
    {
        auto window = start();
        window->show();
        Plot &graph = *window->activePlot()->plot();
        const AxisSpan full = graph.xRange();
        trigger(*window, "mnuToolsZoomIn");
        QVERIFY(graph.isZoomed() && graph.xRange().size() < full.size());
        trigger(*window, "mnuToolsResetZoom");
        QVERIFY(!graph.isZoomed());
        trigger(*window, "mnuToolsCursors");
        QVERIFY(graph.cursors().shown());
        trigger(*window, "mnuToolsPan");
        QCOMPARE(graph.dragTool(), Plot::DragTool::Pan);
        const QList<QAction *> onToolbar = window->findChild<QToolBar *>()->actions();
        for (const char *name : {"mnuToolsZoomIn", "mnuToolsZoomBox", "mnuToolsCursors", "mnuToolsCopy"})
            QVERIFY2(onToolbar.contains(window->action(QLatin1String(name))), name);
    }

    void printAndExportReachThePlotWindow()
    {
        auto window = start();
        const QString pdf = m_dir.filePath(QStringLiteral("printout.pdf"));
        SharedPrinter::printer().setOutputFormat(QPrinter::PdfFormat);
        m_nextPath = pdf;
        trigger(*window, "mnuFilePrint");
        QVERIFY(QFile::exists(pdf));
        QVERIFY(QFile::remove(pdf));
        trigger(*window, "tbPrint");
        QVERIFY(QFile::exists(pdf));
        // Each printout says where it went, in the status bar.
        QVERIFY(m_messages.isEmpty());
        QVERIFY(window->statusBar()->currentMessage().contains(QDir::toNativeSeparators(pdf)));

        m_nextPath = m_dir.filePath(QStringLiteral("graph.png"));
        trigger(*window, "mnuFileExportGraph");
        QVERIFY(QFile::exists(m_nextPath));
        QVERIFY(m_messages.isEmpty());
    }

    void failingSaveSaysWhatFailed()
    {
        auto window = start();
        m_nextPath = m_dir.filePath(QStringLiteral("no/such/folder/block.csv"));
        trigger(*window, "mnuFileSave");
        QCOMPARE(m_messages.size(), 1);
    }

    void plotCommandsNeedAPlotWindow()
    {
        auto window = start();
        window->findChild<QMdiArea *>()->closeAllSubWindows();
        QTRY_VERIFY(!window->activePlot());
        QTest::qWait(10);
        for (const char *name : {"mnuFileOpen", "mnuFileSave", "mnuFilePrint", "mnuFileExportGraph", "mnuViewFFT", "tbPrint"})
            QVERIFY2(!window->action(QLatin1String(name))->isEnabled(), name);
        QVERIFY(window->action(QStringLiteral("mnuHelpAbout"))->isEnabled());
    }

    void aboutIsModalAndShowsTheVersion()
    {
        auto window = start();
        QString version;
        QTimer::singleShot(0, this, [&] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *about = qobject_cast<frmAbout *>(widget)) {
                    QVERIFY(about->isModal());
                    QCOMPARE(about->parentWidget(), window.get());
                    version = about->lblVersion()->text();
                    about->cmdOK()->click();
                }
        });
        trigger(*window, "mnuHelpAbout");
        QCOMPARE(version, QStringLiteral("Version 0.1.17"));
    }

    void exitClosesTheWindow()
    {
        auto window = start();
        window->show();
        trigger(*window, "mnuFileExit");
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(tst_main_commands)
#include "tst_main_commands.moc"
