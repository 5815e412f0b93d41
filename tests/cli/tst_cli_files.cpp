// SPDX-License-Identifier: GPL-3.0-or-later
// What the tool refuses to read and write, and how file texts reach the
// terminal: FIFOs, standard output for "-", failed saves by their cause, and
// hostile device names. Runs the real kz7305evm-cli.
#include "CliRun.h"
#include "DataFileWriter.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

class tst_cli_files : public QObject
{
    Q_OBJECT

private:
    using Run = CliRun;

    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    static Run run(const QStringList &arguments) { return runCli(arguments); }
    static QJsonObject json(const Run &result) { return QJsonDocument::fromJson(result.out).object(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // A tone on bin 67 of 4096 samples, and an 8-sample ramp.
        std::vector<std::int32_t> tone(4096);
        for (std::size_t i = 0; i < tone.size(); ++i)
            tone[i] = static_cast<std::int32_t>(std::lround(4000000 * std::sin(2 * M_PI * 67 * static_cast<double>(i) / 4096.0)));
        const std::vector<std::int32_t> ramp{0, 1, 2, 3, 4, 5, 6, 7};
        for (const auto &[name, samples] : {std::pair{"tone.csv", tone}, std::pair{"ramp.csv", ramp}}) {
            const DataFileHeader header{QStringLiteral("Scripted"), QDateTime::currentDateTime(), 24, 5.0 / 16777216.0,
                                        static_cast<std::int32_t>(samples.size()), 48000};
            QVERIFY(DataFileWriter::save(path(name), DataFileWriter::timeDomain(header, {}, samples), nullptr));
        }
    }

    // A FIFO is neither read (it would wait for a writer) nor written (its
    // reader would get a file that was reported saved elsewhere).
    void fifosAreRefusedAndStandardOutputTakesTheFile()
    {
        const QString fifo = path("pipe.csv");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        Run result = run({QStringLiteral("analyze"), fifo});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains("FIFO"), result.err.constData());
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        result = run({QStringLiteral("analyze"), path("ramp.csv"), QStringLiteral("--save"), fifo});
        char byte = 0;
        const ssize_t got = ::read(reader, &byte, 1);
        ::close(reader);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains("FIFO"), result.err.constData());
        QCOMPARE(got, ssize_t(0));

        const QStringList analyzeFft{QStringLiteral("analyze"), path("tone.csv"), QStringLiteral("--view"), QStringLiteral("fft")};
        const Run toFile = run(analyzeFft + QStringList{QStringLiteral("--save"), path("tone-fft.csv")});
        const Run toOutput = run(analyzeFft + QStringList{QStringLiteral("--save"), QStringLiteral("-")});
        QCOMPARE(toOutput.exitCode, 0);
        QCOMPARE(withoutCreatedLine(toOutput.out), withoutCreatedLine(readFile(path("tone-fft.csv"))));
        QCOMPARE(toOutput.err, toFile.out);
        QVERIFY(!QFile::exists(path("-")));
    }

    // A failed save says why, for the causes a user can act on. The full and
    // read-only file systems are made in the tool's own user and mount
    // namespace, so the test needs no privileges and leaves none behind.
    void failedSaveNamesTheCause_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("cause");
        QTest::newRow("disk full") << QStringLiteral("mount -t tmpfs -o size=16k none \"$D\" && { yes | head -c 65536 > \"$D/fill\"; } 2> /dev/null; true")
                                   << QStringLiteral("disk full");
        QTest::newRow("read-only") << QStringLiteral("mount -t tmpfs -o ro,size=16k none \"$D\"")
                                   << QStringLiteral("read-only file system");
        // As root: the folder belongs to a user the namespace does not map,
        // so its root may not write there. Otherwise: a folder without write
        // permission, the tool run as it is.
        QTest::newRow("permission denied") << (::geteuid() == 0 ? QStringLiteral("true") : QString())
                                           << QStringLiteral("permission denied");
    }

    void failedSaveNamesTheCause()
    {
        QFETCH(QString, setup);
        QFETCH(QString, cause);
        if (!setup.isEmpty()
            && QProcess::execute(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")}) != 0)
            QSKIP("no unprivileged user and mount namespaces here");
        // Not named after the cause: the message names the folder too.
        const QString folder = path("unsaved");
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        if (cause == QLatin1String("permission denied")) {
            if (::geteuid() == 0 ? ::chown(QFile::encodeName(folder).constData(), 65534, 65534) != 0
                                 : ::chmod(QFile::encodeName(folder).constData(), 0555) != 0)
                QSKIP("the folder cannot be made unwritable");
        }
        const QStringList tool{QStringLiteral(KZ_CLI_PATH), QStringLiteral("analyze"), path("tone.csv"),
                               QStringLiteral("--save"), folder + QStringLiteral("/out.csv")};
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("D"), folder);
        process.setProcessEnvironment(environment);
        if (setup.isEmpty())
            process.start(tool.first(), tool.mid(1));
        else
            process.start(QStringLiteral("unshare"), QStringList{QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                                                                 setup + QStringLiteral(" && exec \"$0\" \"$@\"")} + tool);
        QVERIFY(process.waitForFinished(60000));
        const QByteArray err = process.readAllStandardError();
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(err.contains("out.csv\": " + cause.toUtf8() + '.'), err.constData());
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }

    // Texts from a file reach the terminal as text: a device name carrying
    // escape sequences shows them as \xHH, in JSON as \u00HH, and still reads
    // back as the same name.
    void hostileDeviceNameStaysOffTheTerminal()
    {
        const QString hostile = QStringLiteral(u"\x1b]0;owned\x07\x1b[2J\x7f\x9b!");
        const DataFileHeader header{hostile, QDateTime::currentDateTime(), 24, 1e-6, 8, 1000};
        QVERIFY(DataFileWriter::save(path("hostile.csv"), DataFileWriter::timeDomain(header, {}, std::vector<std::int32_t>(8, 1)), nullptr));
        const QStringList analyze{QStringLiteral("analyze"), path("hostile.csv")};
        const auto controlFree = [](const QByteArray &out) {
            const QString text = QString::fromUtf8(out);
            return std::none_of(text.cbegin(), text.cend(), [](QChar c) {
                return (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\r')) || (c.unicode() >= 0x7f && c.unicode() <= 0x9f);
            });
        };
        const QByteArray shown = "\\x1B]0;owned\\x07\\x1B[2J\\x7F\\x9B!";
        const Run text = run(analyze);
        QVERIFY(controlFree(text.out));
        QVERIFY2(text.out.contains("Device: " + shown + "\n"), text.out.constData());
        const Run table = run(analyze + QStringList{QStringLiteral("--table")});
        QVERIFY(controlFree(table.out));
        QVERIFY2(table.out.contains("," + shown + ","), table.out.constData());
        const Run asJson = run(analyze + QStringList{QStringLiteral("--json")});
        QVERIFY(controlFree(asJson.out));
        QVERIFY2(asJson.out.contains("\\u007f\\u009b!"), asJson.out.constData());
        QCOMPARE(json(asJson).value(QStringLiteral("device")).toString(), hostile);
    }

};

QTEST_MAIN(tst_cli_files)
#include "tst_cli_files.moc"
