// SPDX-License-Identifier: GPL-3.0-or-later
// The board setup dialog, opened through the driver's Setup as the program does.
#include "MessageWindowClicker.h"
#include "ScriptedPeer.h"
#include "frmSetup.h"
#include "kz7305.h"
#include "serialMonitor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

class tst_frmSetup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void onBoardReference();
    void externalReference();
    void textAndSliderFollowEachOther();
    void okWritesTheSettings();
    void channelZeroShowsAndStoresCh1();
    void portEntrySelectsItsNumber();
    void cancelChangesNothing();
    void badVoltageKeepsTheDialogOpen_data();
    void badVoltageKeepsTheDialogOpen();
    void noFreePort();

private:
    // Runs the driver's Setup and returns the dialog it shows.
    frmSetup *openSetup();

    std::vector<std::unique_ptr<ScriptedPeer>> m_ports;
    std::unique_ptr<kz7305> m_driver;
};

void tst_frmSetup::init()
{
    m_ports.clear();
    QStringList paths;
    for (int i = 0; i < 12; ++i) {
        m_ports.push_back(std::make_unique<ScriptedPeer>());
        paths.append(m_ports.back()->devicePath());
    }
    m_driver = std::make_unique<kz7305>();
    m_driver->theCsrDrv()->setPortTable(portTable(paths));
}

void tst_frmSetup::cleanup()
{
    m_driver.reset();
    serialMonitor::instance()->hide();
}

frmSetup *tst_frmSetup::openSetup()
{
    m_driver->Setup();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<frmSetup *>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

void tst_frmSetup::onBoardReference()
{
    frmSetup *dialog = openSetup();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("KZ7305EVM Setup"));
    QVERIFY(dialog->refSelector(0)->isChecked());
    QCOMPARE(dialog->refSelector(0)->text(), QStringLiteral("On-board (4.096V)"));
    QCOMPARE(dialog->extVoltage()->text(), QStringLiteral("4.096"));
    QVERIFY(!dialog->extVoltage()->isEnabled());
    QVERIFY(!dialog->voltageSlider()->isEnabled());
    QCOMPARE(dialog->voltageSlider()->value(), 41);
    QCOMPARE(dialog->avgMenu()->count(), 16);
    QCOMPARE(dialog->avgMenu()->itemText(0), QStringLiteral("None"));
    QCOMPARE(dialog->avgMenu()->itemText(15), QStringLiteral("32768"));
    QCOMPARE(dialog->portMenu()->count(), 12);
    // The number, and which device it is on this machine.
    QCOMPARE(dialog->portMenu()->itemText(0),
             QStringLiteral("COM1 (%1)").arg(m_driver->theCsrDrv()->ports().devicePath(1)));
    QCOMPARE(dialog->selectedPort(), 1);
    QVERIFY(!serialMonitor::instance()->isVisible());
}

void tst_frmSetup::externalReference()
{
    m_driver->setP_vref(2.5);
    m_driver->setAverages(7);
    m_driver->setChannel(2);
    m_driver->setShowSerialMonitor(true);
    frmSetup *dialog = openSetup();
    QVERIFY(dialog);
    QVERIFY(dialog->refSelector(1)->isChecked());
    QCOMPARE(dialog->extVoltage()->text(), QStringLiteral("2.5"));
    QCOMPARE(dialog->voltageSlider()->value(), 25);
    QVERIFY(dialog->extVoltage()->isEnabled());
    QVERIFY(dialog->voltageSlider()->isEnabled());
    QCOMPARE(dialog->avgMenu()->currentIndex(), 7);
    QVERIFY(dialog->optChannel(1)->isChecked());
    QVERIFY(dialog->selSerialMonitor()->isChecked());
    QVERIFY(serialMonitor::instance()->isVisible());

    // Back to the on-board reference: the text is reset and both are disabled.
    dialog->refSelector(0)->click();
    QCOMPARE(dialog->extVoltage()->text(), QStringLiteral("4.096"));
    QVERIFY(!dialog->voltageSlider()->isEnabled());
}

void tst_frmSetup::textAndSliderFollowEachOther()
{
    frmSetup *dialog = openSetup();
    QVERIFY(dialog);
    dialog->refSelector(1)->click();
    QVERIFY(dialog->extVoltage()->isEnabled());
    dialog->extVoltage()->clear();
    QTest::keyClicks(dialog->extVoltage(), QStringLiteral("3.3"));
    QCOMPARE(dialog->voltageSlider()->value(), 33);
    QCOMPARE(dialog->extVoltage()->text(), QStringLiteral("3.3")); // not rewritten by the slider
    dialog->voltageSlider()->setValue(12);
    QCOMPARE(dialog->extVoltage()->text(), QStringLiteral("1.2"));
    dialog->extVoltage()->setText(QStringLiteral("4.25"));
    QCOMPARE(dialog->voltageSlider()->value(), 42); // halves to even
}

void tst_frmSetup::okWritesTheSettings()
{
    frmSetup *dialog = openSetup();
    QVERIFY(dialog);
    QPointer<frmSetup> watch(dialog);
    dialog->optChannel(2)->click();
    dialog->avgMenu()->setCurrentIndex(4);
    QCOMPARE(dialog->avgMenu()->currentText(), QStringLiteral("16"));
    dialog->refSelector(1)->click();
    dialog->extVoltage()->setText(QStringLiteral("2.048"));
    dialog->selSerialMonitor()->setChecked(true);
    dialog->btnOK()->click();
    QTRY_VERIFY(!watch);
    QCOMPARE(m_driver->channel(), 4);
    QCOMPARE(m_driver->averages(), 4);
    QCOMPARE(m_driver->p_vref(), 2.048);
    QVERIFY(m_driver->showSerialMonitor());
    QVERIFY(serialMonitor::instance()->isVisible());
    QCOMPARE(m_driver->portNumber(), 1);
    QVERIFY(m_driver->isPortOpen());
}

void tst_frmSetup::channelZeroShowsAndStoresCh1()
{
    frmSetup *dialog = openSetup(); // channel 0: shown as CH1, what OK stores
    QVERIFY(dialog);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(dialog->optChannel(i)->isChecked(), i == 0);
    dialog->btnOK()->click();
    QCOMPARE(m_driver->channel(), 1);
    QCOMPARE(m_driver->p_vref(), 4.096);
    QVERIFY(!m_driver->showSerialMonitor());
}

void tst_frmSetup::portEntrySelectsItsNumber()
{
    frmSetup *dialog = openSetup();
    QVERIFY(dialog);
    dialog->portMenu()->setCurrentIndex(11);
    emit dialog->portMenu()->activated(11);
    QVERIFY(dialog->portMenu()->currentText().startsWith(QLatin1String("COM12 (/")));
    QCOMPARE(dialog->selectedPort(), 12);
    dialog->btnOK()->click();
    QCOMPARE(m_driver->portNumber(), 12);
    QVERIFY(m_driver->isPortOpen());
}

void tst_frmSetup::cancelChangesNothing()
{
    m_driver->setP_vref(3.0);
    m_driver->setAverages(3);
    m_driver->setChannel(8);
    frmSetup *dialog = openSetup();
    QVERIFY(dialog);
    QPointer<frmSetup> watch(dialog);
    dialog->optChannel(0)->click();
    dialog->avgMenu()->setCurrentIndex(9);
    dialog->extVoltage()->setText(QStringLiteral("1.5"));
    dialog->selSerialMonitor()->setChecked(true);
    dialog->portMenu()->setCurrentIndex(3);
    emit dialog->portMenu()->activated(3);
    dialog->btnCancel()->click();
    QTRY_VERIFY(!watch);
    QCOMPARE(m_driver->p_vref(), 3.0);
    QCOMPARE(m_driver->averages(), 3);
    QCOMPARE(m_driver->channel(), 8);
    QVERIFY(!m_driver->showSerialMonitor());
    QVERIFY(!m_driver->isPortOpen());
}

void tst_frmSetup::badVoltageKeepsTheDialogOpen_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("not a number") << QStringLiteral("abc");
    QTest::newRow("empty") << QString();
    QTest::newRow("below 0.5 V") << QStringLiteral("0.4");
    QTest::newRow("above 5 V") << QStringLiteral("5.1");
}

void tst_frmSetup::badVoltageKeepsTheDialogOpen()
{
    QFETCH(QString, text);
    frmSetup *dialog = openSetup();
    QVERIFY(dialog);
    dialog->refSelector(1)->click();
    dialog->avgMenu()->setCurrentIndex(5);
    dialog->extVoltage()->setText(text);
    dialog->btnOK()->click();
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->lblVoltageProblem()->isVisible());
    QVERIFY(dialog->lblVoltageProblem()->text().contains(QLatin1String("0.5 to 5 volts")));
    QCOMPARE(m_driver->averages(), 0);
    QCOMPARE(m_driver->p_vref(), 4.096);
    QVERIFY(!m_driver->isPortOpen());

    // Corrected, OK goes through.
    dialog->extVoltage()->setText(QStringLiteral("5"));
    QVERIFY(!dialog->lblVoltageProblem()->isVisible());
    dialog->btnOK()->click();
    QCOMPARE(m_driver->p_vref(), 5.0);
    QCOMPARE(m_driver->averages(), 5);
}

void tst_frmSetup::noFreePort()
{
    m_driver->theCsrDrv()->setPortTable(portTable());
    MessageWindowClicker clicker;
    QVERIFY(!openSetup());
    QCOMPARE(clicker.titles, QStringList{QStringLiteral("No serial ports found")});
    QCOMPARE(clicker.texts.value(0),
             (QStringList{QStringLiteral("I can't seem to find any free serial ports!"),
                          QStringLiteral("Either you don't actually have any serial ports on your system (oops), "
                                         "you've got them disabled in the BIOS (what for?), or (most likely) they're "
                                         "all being used by other programs."),
                          QStringLiteral("Unfortunately, I can't talk to the board without a serial port, so free "
                                         "one up and try again.")}));
    QVERIFY(!m_driver->isPortOpen());

    // Directly: portsFound is false and the dialog keeps no driver.
    frmSetup dialog;
    dialog.setTheCsrDrv(m_driver->theCsrDrv());
    dialog.setup(*m_driver);
    QVERIFY(!dialog.portsFound());
    QCOMPARE(clicker.titles.size(), 2);
}

QTEST_MAIN(tst_frmSetup)
#include "tst_frmSetup.moc"
