// SPDX-License-Identifier: GPL-3.0-or-later
// "kz7305evm-cli acquire" against a board on a misbehaving line: the real
// program and driver plug-in, the board played by this test.
#include "CpuTime.h"
#include "DataFileLoader.h"
#include "HostileBoard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>


using Fault = HostileBoard::Fault;

class tst_cli_reception : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void damagedAndLostAnswersSavedExactly();
    void answersOutOfStepSavedExactly();
    void portPathTakenWhole();
    void lostPortEndsAtOnce();
    void refusedSettingsStartNothing();
    void interruptedWhileConfiguring();

private:
    struct Run {
        int exitCode = -1;
        QByteArray err;
        qint64 wallMs = 0;
        double cpuSeconds = 0;
    };
    // Runs the program while this process plays the board in its event loop.
    // onStarted is given the process's id once it runs.
    Run run(const QStringList &arguments, int timeoutMs, const QString &workingDirectory = {},
            const std::function<void(qint64)> &onStarted = {});
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    QTemporaryDir m_dir;
    QTemporaryDir m_home;
};


void tst_cli_reception::initTestCase()
{
    QVERIFY(m_dir.isValid() && m_home.isValid());
}

tst_cli_reception::Run tst_cli_reception::run(const QStringList &arguments, int timeoutMs, const QString &workingDirectory,
                                              const std::function<void(qint64)> &onStarted)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
    environment.remove(QStringLiteral("KZ7305EVM_PORTS"));
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(KZ_CLI_PATH), QStringList{QStringLiteral("acquire")} + arguments);
    if (onStarted && process.waitForStarted())
        onStarted(process.processId());
    loop.exec();
    Run result;
    result.wallMs = clock.elapsed();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.err = process.readAllStandardError();
    result.cpuSeconds = cpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    return result;
}

void tst_cli_reception::damagedAndLostAnswersSavedExactly()
{
    // One answer in 50 damaged, one in 100 lost, over a full-size block.
    HostileBoard board;
    board.memory.resize(43690);
    for (std::size_t i = 0; i < board.memory.size(); ++i)
        board.memory[i] = std::int32_t((i * 104729) % 16777216) - 8388608;
    board.faultFor = [](const csr232packet &, int index) {
        if (index % 100 == 99)
            return Fault::Lose;
        return index % 50 == 49 ? Fault::Damage : Fault::None;
    };
    const Run result = run({QStringLiteral("--port"), board.devicePath(), QStringLiteral("--samples"),
                            QStringLiteral("43690"), QStringLiteral("-o"), path("lossy.csv")},
                           150000);
    QVERIFY2(result.exitCode == 0, result.err.constData());
    QVERIFY(board.requests() > 520); // the resends happened
    const DataFileLoader::Result loaded = DataFileLoader::loadFile(path("lossy.csv"));
    QCOMPARE(int(loaded.outcome), int(DataFileLoader::Outcome::Loaded));
    QVERIFY(loaded.block.samples == board.memory);
}

void tst_cli_reception::answersOutOfStepSavedExactly()
{
    // A board that answers in 20 ms and sends every fourth answer twice, the
    // copy 5 ms after the first; five blocks, so the program runs on after
    // the doubled answers.
    HostileBoard board;
    board.memory.resize(1000);
    for (std::size_t i = 0; i < board.memory.size(); ++i)
        board.memory[i] = std::int32_t((i * 7919) % 16777216) - 8388608;
    board.planFor = [](const csr232packet &, int index) {
        HostileBoard::Plan plan;
        plan.delayMs = 20;
        plan.doubled = index % 4 == 3;
        plan.copyGapMs = 5;
        return plan;
    };
    const Run result = run({QStringLiteral("--port"), board.devicePath(), QStringLiteral("--samples"),
                            QStringLiteral("1000"), QStringLiteral("--count"), QStringLiteral("5"),
                            QStringLiteral("-o"), path("doubled.csv")},
                           60000);
    QVERIFY2(result.exitCode == 0, result.err.constData());
    for (const char *name : {"doubled-0001.csv", "doubled-0005.csv"}) {
        const DataFileLoader::Result loaded = DataFileLoader::loadFile(path(name));
        QCOMPARE(int(loaded.outcome), int(DataFileLoader::Outcome::Loaded));
        QVERIFY(loaded.block.samples == board.memory);
    }
}

void tst_cli_reception::portPathTakenWhole()
{
    // Two boards: one at DIR/board, the other at "DIR/board:2 b", a path with
    // a colon and a space, as /dev/serial/by-path names have.
    HostileBoard named;
    HostileBoard other;
    named.memory.assign(64, 1234567);
    other.memory.assign(64, -7654321);
    QVERIFY(QFile::link(other.devicePath(), path("board")));
    QVERIFY(QFile::link(named.devicePath(), path("board:2 b")));
    const Run result = run({QStringLiteral("--port"), path("board:2 b"), QStringLiteral("--samples"),
                            QStringLiteral("64"), QStringLiteral("-o"), path("whole.csv")},
                           30000);
    QVERIFY2(result.exitCode == 0, result.err.constData());
    const DataFileLoader::Result loaded = DataFileLoader::loadFile(path("whole.csv"));
    QCOMPARE(int(loaded.outcome), int(DataFileLoader::Outcome::Loaded));
    QVERIFY(loaded.block.samples == named.memory);
    QCOMPARE(other.requests(), 0);
}

void tst_cli_reception::lostPortEndsAtOnce()
{
    HostileBoard board;
    board.memory.resize(4096);
    board.blockReadsBeforeHangUp = 5;
    const Run result = run({QStringLiteral("--port"), board.devicePath(), QStringLiteral("--samples"),
                            QStringLiteral("4096"), QStringLiteral("-o"), path("lost.csv")},
                           30000);
    QCOMPARE(result.exitCode, 3);
    QVERIFY2(result.err.contains("serial port was lost"), result.err.constData());
    QVERIFY(!QFile::exists(path("lost.csv")));
    QVERIFY2(result.wallMs < 5000, qPrintable(QString::number(result.wallMs)));
    QVERIFY2(result.cpuSeconds < 1.0, qPrintable(QString::number(result.cpuSeconds)));
}

void tst_cli_reception::refusedSettingsStartNothing()
{
    // The board refuses the sample count; the port is named relative to the
    // working folder.
    HostileBoard board;
    QList<quint32> writtenRegisters;
    board.faultFor = [&writtenRegisters](const csr232packet &request, int index) {
        if (request.packetType() == 3)
            writtenRegisters.append(qFromBigEndian<quint32>(request.addressBytes().constData() + 4));
        return index == 1 ? Fault::Refuse : Fault::None;
    };
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("line")));
    QVERIFY(QFile::link(board.devicePath(), path("line/tty")));
    const Run result = run({QStringLiteral("--port"), QStringLiteral("line/tty"), QStringLiteral("-o"), path("refused.csv")},
                           30000, m_dir.path());
    QCOMPARE(result.exitCode, 3);
    QVERIFY2(result.err.contains("refused"), result.err.constData());
    QVERIFY(!QFile::exists(path("refused.csv")));
    QCOMPARE(writtenRegisters, (QList<quint32>{0, 4})); // stopped there: no start command
}

// Ctrl+C while the board's settings are written to a silent board: the wait
// ends at once (the board sees no resend), nothing is saved, exit code 130.
void tst_cli_reception::interruptedWhileConfiguring()
{
    HostileBoard board;
    qint64 tool = 0;
    board.faultFor = [&tool](const csr232packet &, int index) {
        if (index == 0)
            ::kill(pid_t(tool), SIGINT);
        return Fault::Lose;
    };
    const Run result = run({QStringLiteral("--port"), board.devicePath(), QStringLiteral("-o"), path("stopped.csv")},
                           60000, {}, [&tool](qint64 pid) { tool = pid; });
    QCOMPARE(result.exitCode, 130);
    QVERIFY2(result.err.contains("interrupted"), result.err.constData());
    QCOMPARE(board.requests(), 1);
    QVERIFY(!QFile::exists(path("stopped.csv")));
}

QTEST_MAIN(tst_cli_reception)
#include "tst_cli_reception.moc"
