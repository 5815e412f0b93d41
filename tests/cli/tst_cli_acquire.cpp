// SPDX-License-Identifier: GPL-3.0-or-later
// "kz7305evm-cli acquire" against the simulated board: the real program, the
// real driver plug-in, a pseudo-terminal.
#include "DataFileLoader.h"
#include "DataFormat.h"
#include "SimulatedBoard.h"
#include "Spectrum.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <sys/stat.h>
#include <cmath>
#include <numeric>

class tst_cli_acquire : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void savesTheBoardsBlock();
    void severalBlocksNumbered();
    void settingsReachTheBoard();
    void documentedLevelsReadAsDocumented();
    void noSuchPort();
    void boardDoesNotAnswer();
    void badOptions_data();
    void badOptions();
    void unsavableFilesRefusedBeforeAcquiring_data();
    void unsavableFilesRefusedBeforeAcquiring();
    void standardOutputTakesTheBlock();

private:
    struct Run {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    Run run(const QStringList &arguments, int timeoutMs = 60000);
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    QList<std::int32_t> dumpedBlock() const;

    SimulatedBoard m_board;
    QTemporaryDir m_dir;
    QTemporaryDir m_home;
};

void tst_cli_acquire::initTestCase()
{
    QVERIFY(m_dir.isValid() && m_home.isValid());
}

tst_cli_acquire::Run tst_cli_acquire::run(const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    // A fresh user: the driver comes from the defaults the build ships.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
    environment.remove(QStringLiteral("KZ7305EVM_PORTS"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KZ_CLI_PATH), QStringList{QStringLiteral("acquire")} + arguments);
    if (!process.waitForFinished(timeoutMs))
        return {};
    return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
               process.readAllStandardOutput(), process.readAllStandardError()};
}

QList<std::int32_t> tst_cli_acquire::dumpedBlock() const
{
    return SimulatedBoard::readDump(path("dump.txt"));
}

void tst_cli_acquire::savesTheBoardsBlock()
{
    const QString device = m_board.start({QStringLiteral("--dump"), path("dump.txt")});
    QVERIFY2(!device.isEmpty(), qPrintable(m_board.errorString()));
    const Run result = run({QStringLiteral("--port"), device, QStringLiteral("--samples"), QStringLiteral("1000"),
                            QStringLiteral("--rate"), QStringLiteral("48000"), QStringLiteral("-o"), path("one.csv")});
    QCOMPARE(result.exitCode, 0);
    const DataFileLoader::Result loaded = DataFileLoader::loadFile(path("one.csv"));
    QCOMPARE(int(loaded.outcome), int(DataFileLoader::Outcome::Loaded));
    QCOMPARE(loaded.block.deviceId, QStringLiteral("KZ7305EVM"));
    QCOMPARE(loaded.block.sampleFreq, 48000.0);
    QCOMPARE(loaded.block.numBits, 24); // log2 of the driver's code range, rounded
    QCOMPARE(loaded.block.lsbSize, 8.192 / 16777215.0);
    QCOMPARE(QList<std::int32_t>(loaded.block.samples.begin(), loaded.block.samples.end()), dumpedBlock());

    const QString out = QString::fromUtf8(result.out);
    QVERIFY(out.startsWith(QStringLiteral("File: ") + path("one.csv") + QStringLiteral("\nDevice: KZ7305EVM\nSamples: 1000\nView: time\n")));
    QVERIFY(out.contains(QLatin1String("Std Dev (ppm): ")));
    QVERIFY(result.err.contains("receiving"));
}

void tst_cli_acquire::severalBlocksNumbered()
{
    const QString device = m_board.start({QStringLiteral("--dump"), path("dump.txt")});
    QVERIFY(!device.isEmpty());
    const Run result = run({QStringLiteral("--port"), device, QStringLiteral("--samples"), QStringLiteral("512"),
                            QStringLiteral("--count"), QStringLiteral("3"), QStringLiteral("--analyze"), QStringLiteral("fft"),
                            QStringLiteral("--analyze=noise"), QStringLiteral("--trend"), path("trend.csv"),
                            QStringLiteral("-o"), path("many.csv")});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(!QFile::exists(path("many.csv")));
    for (const char *name : {"many-0001.csv", "many-0002.csv", "many-0003.csv"})
        QCOMPARE(int(DataFileLoader::loadFile(path(name)).outcome), int(DataFileLoader::Outcome::Loaded));
    const QList<std::int32_t> last = dumpedBlock();
    const std::vector<std::int32_t> saved = DataFileLoader::loadFile(path("many-0003.csv")).block.samples;
    QCOMPARE(QList<std::int32_t>(saved.begin(), saved.end()), last);
    QCOMPARE(result.out.count("View: time\n"), 3);
    QCOMPARE(result.out.count("View: fft\n"), 3);
    QCOMPARE(result.out.count("Fundamental Frequency (Hz): "), 3);
    QCOMPARE(result.out.count("RMS Noise (uV): "), 3);

    // One trend row per block, its figures those of the saved block.
    QFile trend(path("trend.csv"));
    QVERIFY(trend.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = trend.readAll().split('\n');
    QCOMPARE(lines.size(), 5); // header, 3 rows, nothing after the last line end
    QCOMPARE(lines[0], QByteArray("Timestamp,Block,Offset (uV),RMS Noise (uV),Peak-to-Peak Noise (uV)\r"));
    const QList<QByteArray> row = lines[3].trimmed().split(',');
    QCOMPARE(row.size(), 5);
    QVERIFY(QDateTime::fromString(QString::fromLatin1(row[0]), Qt::ISODateWithMs).isValid());
    QCOMPARE(row[1], QByteArray("3"));
    const DataFileLoader::Result third = DataFileLoader::loadFile(path("many-0003.csv"));
    double sum = 0, squares = 0;
    for (const std::int32_t code : saved)
        sum += code;
    const double mean = sum / static_cast<double>(saved.size());
    for (const std::int32_t code : saved)
        squares += (code - mean) * (code - mean);
    const double uv = third.block.lsbSize * 1e6;
    const auto [low, high] = std::minmax_element(saved.begin(), saved.end());
    const auto near = [](const QByteArray &text, double value) {
        return std::fabs(text.toDouble() - value) <= 1e-12 * std::max(1.0, std::fabs(value));
    };
    QVERIFY(near(row[2], mean * uv));
    QVERIFY(near(row[3], std::sqrt(squares / static_cast<double>(saved.size() - 1)) * uv));
    QVERIFY(near(row[4], static_cast<double>(*high - *low) * uv));
}

void tst_cli_acquire::settingsReachTheBoard()
{
    const QString log = path("requests.log");
    const QString device = m_board.start({QStringLiteral("--log"), log});
    QVERIFY(!device.isEmpty());
    const Run result = run({QStringLiteral("--port"), device, QStringLiteral("--samples"), QStringLiteral("8"),
                            QStringLiteral("--channel"), QStringLiteral("3"), QStringLiteral("--averaging"),
                            QStringLiteral("4"), QStringLiteral("--vref"), QStringLiteral("2.5"), QStringLiteral("-o"),
                            path("settings.csv")});
    QCOMPARE(result.exitCode, 0);
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray requests = file.readAll();
    QVERIFY(requests.contains("reg=16 data=00000004\n"));
    QVERIFY(requests.contains("reg=13 data=40\n"));
    QCOMPARE(DataFileLoader::loadFile(path("settings.csv")).block.lsbSize, 5.0 / 16777215.0);
}

// The simulated board's inputs as its documentation gives them read the same
// through the driver's scale: CH4 carries 1.0 V; CH1 a -1 dBFS tone, here put on
// bin 64 of 4096 (750 Hz at 48 kHz) so that it falls on one bin.
void tst_cli_acquire::documentedLevelsReadAsDocumented()
{
    const QString device = m_board.start({QStringLiteral("--ch1"), QStringLiteral("freq=750")});
    QVERIFY(!device.isEmpty());
    const QStringList common{QStringLiteral("--port"), device, QStringLiteral("--samples"), QStringLiteral("4096"),
                             QStringLiteral("--rate"), QStringLiteral("48000")};
    QCOMPARE(run(common + QStringList{QStringLiteral("--channel"), QStringLiteral("4"), QStringLiteral("-o"), path("ch4.csv")}).exitCode, 0);
    QCOMPARE(run(common + QStringList{QStringLiteral("--channel"), QStringLiteral("1"), QStringLiteral("-o"), path("ch1.csv")}).exitCode, 0);

    const SampleBlock dc = DataFileLoader::loadFile(path("ch4.csv")).block;
    const double mean = std::accumulate(dc.samples.begin(), dc.samples.end(), 0.0) / double(dc.samples.size());
    QVERIFY2(std::fabs(mean * dc.lsbSize - 1.0) < 1e-5, qPrintable(QString::number(mean * dc.lsbSize)));
    QCOMPARE(CodeText::scaledByLsb(mean, dc.lsbSize, QLatin1Char('.')), QStringLiteral("1."));

    const SampleBlock tone = DataFileLoader::loadFile(path("ch1.csv")).block;
    Spectrum spectrum;
    spectrum.compute(tone.samples, FftWindow::Rectangular, false, tone.numBits);
    QCOMPARE(spectrum.length(), 4096);
    QVERIFY2(std::fabs(spectrum.levels()[64] + 1.0) < 0.01, qPrintable(QString::number(spectrum.levels()[64])));
}

void tst_cli_acquire::noSuchPort()
{
    Run result = run({QStringLiteral("--port"), path("no-device"), QStringLiteral("-o"), path("none.csv")});
    QCOMPARE(result.exitCode, 3);
    QCOMPARE(result.err, QByteArray("kz7305evm-cli acquire: no such port ") + path("no-device").toLocal8Bit() + '\n');
    result = run({QStringLiteral("--port"), QStringLiteral("COM17"), QStringLiteral("-o"), path("none.csv")});
    QCOMPARE(result.exitCode, 3);
    QVERIFY(!QFile::exists(path("none.csv")));
}

void tst_cli_acquire::boardDoesNotAnswer()
{
    const QString device = m_board.start({QStringLiteral("--silent")});
    QVERIFY(!device.isEmpty());
    const Run result = run({QStringLiteral("--port"), device, QStringLiteral("-o"), path("silent.csv")});
    QCOMPARE(result.exitCode, 3);
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.contains("did not answer"), result.err.constData());
    QVERIFY(result.out.isEmpty());
    QVERIFY(!QFile::exists(path("silent.csv")));
}

void tst_cli_acquire::badOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    const QStringList base{QStringLiteral("--port"), QStringLiteral("COM1"), QStringLiteral("-o"), QStringLiteral("x.csv")};
    QTest::newRow("averaging 16") << base + QStringList{QStringLiteral("--averaging"), QStringLiteral("16")};
    QTest::newRow("7 samples") << base + QStringList{QStringLiteral("--samples"), QStringLiteral("7")};
    QTest::newRow("43691 samples") << base + QStringList{QStringLiteral("--samples"), QStringLiteral("43691")};
    QTest::newRow("channel 5") << base + QStringList{QStringLiteral("--channel"), QStringLiteral("5")};
    QTest::newRow("vref 6") << base + QStringList{QStringLiteral("--vref"), QStringLiteral("6")};
    QTest::newRow("no output") << QStringList{QStringLiteral("--port"), QStringLiteral("COM1")};
    QTest::newRow("no port") << QStringList{QStringLiteral("-o"), QStringLiteral("x.csv")};
    QTest::newRow("count and continuous")
        << base + QStringList{QStringLiteral("--count"), QStringLiteral("2"), QStringLiteral("--continuous-until-interrupted")};
    QTest::newRow("unknown analysis") << base + QStringList{QStringLiteral("--analyze"), QStringLiteral("noise,thd")};
    QTest::newRow("unknown window") << base + QStringList{QStringLiteral("--window"), QStringLiteral("kaiser")};
    QTest::newRow("bins 0") << base + QStringList{QStringLiteral("--bins"), QStringLiteral("0")};
    QTest::newRow("harmonics 21") << base + QStringList{QStringLiteral("--harmonics"), QStringLiteral("21")};
    QTest::newRow("several blocks to stdout")
        << QStringList{QStringLiteral("--port"), QStringLiteral("COM1"), QStringLiteral("-o"), QStringLiteral("-"),
                       QStringLiteral("--count"), QStringLiteral("2")};
}

void tst_cli_acquire::badOptions()
{
    QFETCH(QStringList, arguments);
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY(result.err.startsWith("kz7305evm-cli acquire: "));
}

// Against a board that never answers, so only a check made before acquiring
// can end the run at once with exit code 1 (the board's failure would be 3).
void tst_cli_acquire::unsavableFilesRefusedBeforeAcquiring_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("cause");
    const QString out = QStringLiteral("-o");
    QTest::newRow("output a FIFO") << QStringList{out, path("pipe.csv")} << QStringLiteral("FIFO");
    QTest::newRow("trend a FIFO") << QStringList{out, path("a.csv"), QStringLiteral("--trend"), path("pipe.csv")}
                                  << QStringLiteral("FIFO");
    QTest::newRow("a later block's file a FIFO")
        << QStringList{out, path("run.csv"), QStringLiteral("--count"), QStringLiteral("3")} << QStringLiteral("FIFO");
    QTest::newRow("output in no folder") << QStringList{out, path("none/a.csv")} << QStringLiteral("no such file");
    QTest::newRow("trend is the output") << QStringList{out, path("kept.csv"), QStringLiteral("--trend"), path("kept.csv")}
                                         << QStringLiteral("overwritten");
    QTest::newRow("trend is a later block's file")
        << QStringList{out, path("run.csv"), QStringLiteral("--count"), QStringLiteral("3"), QStringLiteral("--trend"),
                       path("run-0002.csv")}
        << QStringLiteral("block 2");
    QTest::newRow("trend linked to the output")
        << QStringList{out, path("kept.csv"), QStringLiteral("--trend"), path("kept-link.csv")} << QStringLiteral("overwritten");
}

void tst_cli_acquire::unsavableFilesRefusedBeforeAcquiring()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, cause);
    for (const char *fifo : {"pipe.csv", "run-0003.csv"}) {
        QFile::remove(path(fifo));
        QCOMPARE(::mkfifo(QFile::encodeName(path(fifo)).constData(), 0600), 0);
    }
    QFile kept(path("kept.csv"));
    QVERIFY(kept.open(QIODevice::WriteOnly | QIODevice::Truncate) && kept.write("the log\r\n") == 9);
    kept.close();
    QFile::remove(path("kept-link.csv"));
    QVERIFY(QFile::link(path("kept.csv"), path("kept-link.csv")));
    const QString device = m_board.start({QStringLiteral("--silent")});
    QVERIFY(!device.isEmpty());

    const Run result = run(QStringList{QStringLiteral("--port"), device} + arguments);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(cause.toUtf8()) && result.err.count('\n') == 1, result.err.constData());
    QVERIFY(QFileInfo(path("pipe.csv")).exists() && !QFileInfo(path("pipe.csv")).isFile());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("the log\r\n"));
    QVERIFY(!QFile::exists(path("a.csv")) && !QFile::exists(path("run-0001.csv")));
}

// "-o -": the data file alone on standard output, the report on standard error.
void tst_cli_acquire::standardOutputTakesTheBlock()
{
    const QString device = m_board.start({QStringLiteral("--dump"), path("dump.txt")});
    QVERIFY(!device.isEmpty());
    const Run result = run({QStringLiteral("--port"), device, QStringLiteral("--samples"), QStringLiteral("256"),
                            QStringLiteral("-o"), QStringLiteral("-")});
    QCOMPARE(result.exitCode, 0);
    const DataFileLoader::Result loaded = DataFileLoader::parse(result.out, QStringLiteral("stdout"));
    QCOMPARE(int(loaded.outcome), int(DataFileLoader::Outcome::Loaded));
    QCOMPARE(QList<std::int32_t>(loaded.block.samples.begin(), loaded.block.samples.end()), dumpedBlock());
    QVERIFY2(result.err.contains("File: (standard output)\nDevice: KZ7305EVM\nSamples: 256\n"), result.err.constData());
    QVERIFY(!QFile::exists(path("-")));
}

QTEST_MAIN(tst_cli_acquire)
#include "tst_cli_acquire.moc"
