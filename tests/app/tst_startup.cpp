// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and shutdown of the main window: placement, the first plot window
// and the binding of the board driver with each of its failures.
#include "AppSettings.h"
#include "AcquisitionPanel.h"
#include "DialogAnswerer.h"
#include "DriverLoader.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverSettings.h"
#include "Plot.h"
#include "UserMessage.h"
#include "WindowPlacement.h"
#include "frmMain.h"
#include "frmPlot.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>

class TestStartup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;
    QString m_driverLog;
    QStringList m_messages;

    static QSettings userSettings()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KZ7305EVM"),
                         QStringLiteral("KZ7305EVM"));
    }

    QStringList driverCalls() const
    {
        QFile log(m_driverLog);
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Loads a main window with the given DriverName (an absent setting when null).
    std::unique_ptr<frmMain> start(const QString &driverName)
    {
        if (!driverName.isNull())
            userSettings().setValue(QStringLiteral("Plugins/DriverName"), driverName);
        auto window = std::make_unique<frmMain>();
        window->load();
        return window;
    }

    static int pixels(float twips) { return static_cast<int>(std::lround(twips * WindowPlacement::pixelsPerTwip())); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        qputenv("KZ7305EVM_PLUGIN_PATH", qgetenv("KZ_TEST_DRIVERS_DIR") + ':' + qgetenv("KZ_TEST_PLUGIN_DIR"));
        m_driverLog = m_config.filePath(QStringLiteral("driver.log"));
        qputenv("KZ_TEST_DRIVER_LOG", m_driverLog.toLocal8Bit());
        UserMessage::setHandler([this](const QString &text) { m_messages << text; });
    }

    void init()
    {
        userSettings().clear();
        QFile::remove(m_driverLog);
        m_messages.clear();
    }

    void firstRunHasDefaultsAndNoDriver()
    {
        auto window = start(QString());
        QCOMPARE(m_messages, QStringList{QStringLiteral("Failed to create driver object")});
        QVERIFY(!window->driver());
        QVERIFY(!window->panel()->cmdAcquire()->isEnabled());
        // The default placement (1200 x 750 pixels) is larger than this
        // 800 x 600 screen: the window takes the screen's free area instead.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(area.contains(window->frameGeometry()));
        QVERIFY(window->width() >= area.width() - 10 && window->height() >= area.height() - 50);
        QCOMPARE(window->panel()->txtNumSamples()->text(), QStringLiteral("256"));
        QCOMPARE(window->panel()->scrNumSamples()->value(), 12);
    }

    void firstPlotWindowShowsStartupBlock()
    {
        auto window = start(QString());
        frmPlot *plot = window->activePlot();
        QVERIFY(plot);
        QVERIFY(plot->parentWidget()->isMaximized());
        QCOMPARE(plot->windowTitle(), QStringLiteral("KZ7305EVM: Time Domain"));
        QVERIFY(plot->document().DataReady());
        QCOMPARE(plot->numPoints(), 256);
        QCOMPARE(plot->NumBits(), std::int16_t(24));
        QCOMPARE(plot->LSBSize(), 2.98023223876953125e-7);
        QCOMPARE(plot->Maximum(), 0.0);
        QCOMPARE(plot->StdDeviation(), 0.0);
        QCOMPARE(plot->plot()->pointCount(), 256);
        QCOMPARE(plot->plot()->xValue(0), 1.0F);
        QCOMPARE(plot->plot()->xValue(255), 256.0F);
        QCOMPARE(plot->plot()->mainTitle(), QStringLiteral("KZ7305EVM"));
    }

    void choicesComeBackAfterARestart()
    {
        DialogAnswerer answerer; // the setup dialog, or the no-port message
        {
            auto window = start(QStringLiteral("KZ7305EVM.kz7305"));
            auto *board = dynamic_cast<NuvarDriverSettings *>(window->driver());
            QVERIFY(board);
            QVERIFY(board->setSettingValue(QStringLiteral("Channel"), QStringLiteral("4")));
            QVERIFY(board->setSettingValue(QStringLiteral("Reference"), QStringLiteral("2.5")));
            QVERIFY(!board->setSettingValue(QStringLiteral("Averaging"), QStringLiteral("16")));
            AcquisitionPanel *panel = window->panel();
            panel->txtNumSamples()->setText(QStringLiteral("4096"));
            panel->txtSampleRate()->setText(QStringLiteral("48000.5"));
            panel->optContinuous()->setChecked(true);
            frmPlot *plot = window->activePlot();
            plot->optWindow(3)->setChecked(true);
            plot->setNormalizeFFT(true);
            plot->txtNumBins()->setText(QStringLiteral("7"));
            plot->txtNumHarm()->setText(QStringLiteral("5"));
            plot->cbHarmonics()->setChecked(true);
            plot->optDataFormat(1)->setChecked(true);
            plot->setGraphStyle(frmPlot::FFTPlot, {1, 2, 3});
            plot->selectTab(2);
        } // closing stores them
        userSettings().setValue(QStringLiteral("Board/Averaging"), QStringLiteral("99"));
        userSettings().setValue(QStringLiteral("Plot/NumHarmonics"), QStringLiteral("21"));
        userSettings().sync();

        auto window = start(QStringLiteral("KZ7305EVM.kz7305"));
        auto *board = dynamic_cast<NuvarDriverSettings *>(window->driver());
        QVERIFY(board);
        QCOMPARE(board->SettingValue(QStringLiteral("Channel")), QStringLiteral("4"));
        QCOMPARE(board->SettingValue(QStringLiteral("Reference")).toDouble(), 2.5);
        QCOMPARE(board->SettingValue(QStringLiteral("Averaging")), QStringLiteral("0")); // refused: default
        QCOMPARE(window->panel()->txtNumSamples()->text(), QStringLiteral("4096"));
        QCOMPARE(window->panel()->txtSampleRate()->text(), QStringLiteral("48000.5"));
        QVERIFY(window->panel()->optContinuous()->isChecked());
        frmPlot *plot = window->activePlot();
        QVERIFY(plot->optWindow(3)->isChecked() && plot->NormalizeFFT() && plot->optHighestSignal()->isChecked());
        QCOMPARE(plot->txtNumBins()->text(), QStringLiteral("7"));
        QCOMPARE(plot->txtNumHarm()->text(), QStringLiteral("10")); // refused: default
        QVERIFY(plot->cbHarmonics()->isChecked() && !plot->cbMainLobe()->isChecked());
        QVERIFY(plot->optDataFormat(1)->isChecked());
        QCOMPARE(plot->currentView(), std::int16_t(frmPlot::Histogram));
        QCOMPARE(plot->graphStyle(frmPlot::FFTPlot).lineType, std::int16_t(3));
        const QString note = window->statusBar()->currentMessage();
        QVERIFY2(note.contains(QLatin1String("Averaging")) && note.contains(QLatin1String("NumHarmonics")), qPrintable(note));
    }

    void sevenTermWindowAndAutoComeBack()
    {
        DialogAnswerer answerer;
        {
            auto window = start(QStringLiteral("KZ7305EVM.kz7305"));
            frmPlot *plot = window->activePlot();
            plot->optWindow(7)->setChecked(true);
            plot->cbAutoBins()->setChecked(true);
        }
        auto window = start(QStringLiteral("KZ7305EVM.kz7305"));
        frmPlot *plot = window->activePlot();
        QVERIFY(plot->optWindow(7)->isChecked() && plot->cbAutoBins()->isChecked());
        QVERIFY(!plot->txtNumBins()->isEnabled());
    }

    void shippedDriverBinds()
    {
        DialogAnswerer answerer; // the setup dialog, or the no-port message
        auto window = start(QStringLiteral("KZ7305EVM.kz7305"));
        QVERIFY(m_messages.isEmpty());
        QVERIFY(window->driver());
        QCOMPARE(window->panel()->lblDriver()->text(), QStringLiteral("KZ7305EVM"));
        QVERIFY(window->panel()->cmdAcquire()->isEnabled());
    }

    void installationDefaultNamesTheDriver()
    {
        // The defaults file the installation puts beside the program.
        const QString file = AppSettings::defaultsFile();
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        {
            QSettings shipped(file, QSettings::IniFormat);
            shipped.setValue(QStringLiteral("Plugins/DriverName"), QStringLiteral("TestDrivers.echo"));
        }
        auto window = start(QString());
        QFile::remove(file);
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(window->panel()->lblDriver()->text(), QStringLiteral("TestDrivers"));
    }

    void bindingCallsInOrder()
    {
        auto window = start(QStringLiteral("TestDrivers.echo"));
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(window->panel()->lblDriver()->text(), QStringLiteral("TestDrivers"));
        window->close();
        QCOMPARE(driverCalls(), (QStringList{"setBoardName", "DriverOpen", "Setup", "DriverClose"}));
        QVERIFY(!window->panel()->cmdAcquire()->isEnabled());
        QVERIFY(!window->driver());
    }

    void bindingFailures_data()
    {
        QTest::addColumn<QString>("driverName");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("acquireEnabled");
        QTest::addColumn<QStringList>("calls");
        const QString create = QStringLiteral("Failed to create driver object");
        QTest::newRow("empty name") << "" << create << false << QStringList();
        QTest::newRow("missing library") << "NoSuchLibrary.kz7305" << create << false << QStringList();
        QTest::newRow("unknown class") << "TestDrivers.nosuchclass" << create << false << QStringList();
        QTest::newRow("path in library name") << "../shell/plugins/libTestDrivers.echo" << create << false << QStringList();
        QTest::newRow("path in class name") << "TestDrivers.echo/../x" << create << false << QStringList();
        QTest::newRow("name without point") << "TestDrivers" << "Failed to set board name" << false
                                            << QStringList{"DriverClose"};
        QTest::newRow("failing open") << "TestDrivers.failopen" << "Failed to open driver" << false
                                      << QStringList{"setBoardName", "DriverOpen", "DriverClose"};
        QTest::newRow("failing setup") << "TestDrivers.failsetup" << "Failed to open driver" << true
                                       << QStringList{"setBoardName", "DriverOpen", "Setup", "DriverClose"};
    }

    void bindingFailures()
    {
        QFETCH(QString, driverName);
        QFETCH(QString, message);
        QFETCH(bool, acquireEnabled);
        QFETCH(QStringList, calls);
        auto window = start(driverName);
        QCOMPARE(m_messages, QStringList{message});
        QCOMPARE(window->panel()->cmdAcquire()->isEnabled(), acquireEnabled);
        // The program stays usable: its first plot window is there.
        QVERIFY(window->activePlot());
        window->close();
        QCOMPARE(driverCalls(), calls);
    }

    void closeDuringADriverCallWaitsForIt()
    {
        userSettings().setValue(QStringLiteral("Plugins/DriverName"), QStringLiteral("TestDrivers.slowsetup"));
        frmMain window;
        bool visibleAfterClose = false;
        QTimer::singleShot(50, &window, [&] {
            window.close();
            visibleAfterClose = window.isVisible();
        });
        window.load();
        QVERIFY(visibleAfterClose); // deferred: the driver was still in its call
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(driverCalls(), (QStringList{"setBoardName", "DriverOpen", "Setup begins", "Setup ends", "DriverClose"}));
    }

    void placementRoundTrip()
    {
        {
            auto window = start(QString());
            window->move(pixels(2000), pixels(1500));
            window->resize(pixels(16000), pixels(9000));
            window->close();
        }
        auto settings = userSettings();
        QCOMPARE(settings.value(QStringLiteral("Settings/MainLeft")).toFloat(), float(pixels(2000) / WindowPlacement::pixelsPerTwip()));
        QCOMPARE(settings.value(QStringLiteral("Settings/MainWidth")).toFloat(), float(pixels(16000) / WindowPlacement::pixelsPerTwip()));
        auto again = start(QString());
        QCOMPARE(again->pos(), QPoint(pixels(2000), pixels(1500)));
        QCOMPARE(again->size(), QSize(pixels(16000), pixels(9000)));
    }

    void minimisedCloseKeepsPlacement()
    {
        userSettings().setValue(QStringLiteral("Settings/MainLeft"), QStringLiteral("3000"));
        auto window = start(QString());
        window->move(pixels(4000), pixels(4000));
        window->showMinimized();
        window->close();
        QCOMPARE(userSettings().value(QStringLiteral("Settings/MainLeft")).toString(), QStringLiteral("3000"));
    }

    void badPlacementFallsBack()
    {
        const QRect firstStart = start(QString())->geometry();
        auto settings = userSettings();
        settings.setValue(QStringLiteral("Settings/MainLeft"), QStringLiteral("left"));
        settings.setValue(QStringLiteral("Settings/MainWidth"), QStringLiteral("-5"));
        settings.setValue(QStringLiteral("Settings/MainHeight"), QStringLiteral(""));
        settings.sync();
        auto window = start(QString());
        QCOMPARE(window->geometry(), firstStart);
    }

    void offScreenPlacementIsMovedOnScreen()
    {
        auto settings = userSettings();
        settings.setValue(QStringLiteral("Settings/MainLeft"), QStringLiteral("9000000"));
        settings.setValue(QStringLiteral("Settings/MainTop"), QStringLiteral("-9000000"));
        settings.sync();
        auto window = start(QString());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(window->pos()));
    }

    void classIdentifierNamesAreChecked()
    {
        QVERIFY(DriverLoader::isValidName(QStringLiteral("KZ7305EVM")));
        QVERIFY(DriverLoader::isValidName(QStringLiteral("kz_7305")));
        QVERIFY(!DriverLoader::isValidName(QStringLiteral("..")));
        QVERIFY(!DriverLoader::isValidName(QStringLiteral("a/b")));
        QVERIFY(!DriverLoader::isValidName(QString()));
        QString error;
        QVERIFY(!DriverLoader::create(QStringLiteral("/tmp/x.y"), &error));
        QVERIFY(error.contains(QStringLiteral("invalid")));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
