// SPDX-License-Identifier: GPL-3.0-or-later
#include "serialMonitor.h"

#include <QtTest>

class tst_serialMonitor : public QObject
{
    Q_OBJECT

private slots:
    void requestOnOneLine();
    void sixteenBytesALine();
    void directionChangeAndPauseSeparate();
    void lineCap();
    void singleInstance();
    void opensWholeOnScreen();
};

void tst_serialMonitor::requestOnOneLine()
{
    serialMonitor monitor;
    QCOMPARE(monitor.windowTitle(), QStringLiteral("Serial Monitor"));
    monitor.addOutputBytes(QByteArray::fromHex("4000000000000000005FD9"));
    QCOMPARE(monitor.lines(), QStringList({QStringLiteral("Out: 40 00 00 00 00 00 00 00 00 5F D9 ")}));
}

void tst_serialMonitor::sixteenBytesALine()
{
    serialMonitor monitor;
    QByteArray bytes;
    for (int i = 0; i < 20; ++i)
        bytes.append(char(i + 0x0A));
    monitor.addInputBytes(bytes.left(7));
    monitor.addInputBytes(bytes.mid(7));
    const QStringList lines = monitor.lines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("In : 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 18 19 "));
    QCOMPARE(lines[1], QStringLiteral("In : 1A 1B 1C 1D "));
}

void tst_serialMonitor::directionChangeAndPauseSeparate()
{
    serialMonitor monitor;
    monitor.addOutputBytes(QByteArray::fromHex("F00000E352"));
    monitor.addInputBytes(QByteArray::fromHex("0102"));
    QVERIFY(monitor.isTimerRunning());
    QTRY_COMPARE_WITH_TIMEOUT(monitor.lines().size(), 4, 3000);
    QCOMPARE(monitor.lines(), QStringList({QStringLiteral("Out: F0 00 00 E3 52 "), QStringLiteral("----"),
                                           QStringLiteral("In : 01 02 "), QStringLiteral("----")}));
    QVERIFY(!monitor.isTimerRunning());
    // The pause's separator, then the one for the change of direction.
    monitor.addOutputBytes(QByteArray::fromHex("AA"));
    QCOMPARE(monitor.lines().mid(3), QStringList({QStringLiteral("----"), QStringLiteral("----"), QStringLiteral("Out: AA ")}));
}

void tst_serialMonitor::lineCap()
{
    serialMonitor monitor;
    for (int i = 0; i < serialMonitor::MaxLines; ++i)
        monitor.addOutputBytes(QByteArray(16, char(i & 0xFF)));
    QCOMPARE(monitor.lines().size(), 2001);
    QCOMPARE(monitor.lines().first(), QStringLiteral("Out: ") + QStringLiteral("00 ").repeated(16));
    monitor.addOutputBytes(QByteArray(16, char(0xEE)));
    QCOMPARE(monitor.lines().size(), 2001);
    QCOMPARE(monitor.lines().first(), QStringLiteral("Out: ") + QStringLiteral("01 ").repeated(16));
    QCOMPARE(monitor.lines().last(), QStringLiteral("Out: ") + QStringLiteral("EE ").repeated(16));
}

void tst_serialMonitor::singleInstance()
{
    serialMonitor *monitor = serialMonitor::instance();
    QVERIFY(monitor);
    QCOMPARE(serialMonitor::instance(), monitor);
}

void tst_serialMonitor::opensWholeOnScreen()
{
    serialMonitor monitor;
    monitor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&monitor));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // Its frame too: a title bar of up to 40 pixels above it.
    QVERIFY(area.contains(monitor.frameGeometry().adjusted(0, -40, 0, 0)));
}

QTEST_MAIN(tst_serialMonitor)
#include "tst_serialMonitor.moc"
