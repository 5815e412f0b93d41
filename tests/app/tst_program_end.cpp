// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a process: it ends on SIGTERM as File > Exit ends it, and
// the simulated board it started with --demo never outlives it, even when the
// program is killed outright.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

// The process's state letter from /proc ('Z' a zombie), or 0 once it is gone.
char stateOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype afterName = line.lastIndexOf(')');
    return afterName < 0 || afterName + 2 >= line.size() ? 0 : line.at(afterName + 2);
}

bool ended(qint64 pid)
{
    const char state = stateOf(pid);
    return state == 0 || state == 'Z' || state == 'X';
}

// The simulated board among pid's direct children, or 0.
qint64 simulatorChildOf(qint64 pid)
{
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    if (!children.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &child : children.readAll().split(' ')) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(child.trimmed())));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "kz7305-sim")
            return child.trimmed().toLongLong();
    }
    return 0;
}

} // namespace

class tst_program_end : public QObject
{
    Q_OBJECT

private slots:
    void simulatorEndsWithTheProgram_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("exitsNormally");
        QTest::newRow("SIGTERM") << int(SIGTERM) << true;
        QTest::newRow("SIGINT") << int(SIGINT) << true;
        QTest::newRow("SIGKILL") << int(SIGKILL) << false;
    }

    void simulatorEndsWithTheProgram()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, exitsNormally);
        QTemporaryDir home;
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(KZ_PROGRAM), {QStringLiteral("--demo")});
        QVERIFY(program.waitForStarted(10000));
        qint64 simulator = 0;
        QTRY_VERIFY_WITH_TIMEOUT((simulator = simulatorChildOf(program.processId())) != 0, 20000);
        QTest::qWait(500); // the main window is up

        ::kill(pid_t(program.processId()), signalNumber);
        QVERIFY(program.waitForFinished(10000));
        if (exitsNormally) {
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(ended(simulator), 5000);
    }
};

QTEST_GUILESS_MAIN(tst_program_end)
#include "tst_program_end.moc"
