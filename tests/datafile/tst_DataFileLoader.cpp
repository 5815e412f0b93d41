// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileLoader.h"
#include "DataFileWriter.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

using namespace DataFileLoader;

class tst_DataFileLoader : public QObject
{
    Q_OBJECT

private:
    // A file as the program writes it, with the given value lines.
    static QByteArray timeFile(const QByteArrayList &values, const QByteArray &marker = "Sample Points:")
    {
        QByteArray text = "Bench unit 7\r\nCreated: 05.03.2024 14:07:09\r\nNumber of Bits:,24\r\n"
                          "LSB Size:,2.98023223876953E-07\r\nSample Points:, 4 \r\nSample Frequency:, 1000 \r\n"
                          "Time Domain Data\r\nStandard Deviation (ppm):, 1 \r\nMean:, 1 \r\nMinimum:, 1 \r\n"
                          "Maximum:, 1 \r\n" + marker + "\r\n";
        for (const QByteArray &value : values)
            text += value + "\r\n";
        return text;
    }
    static QByteArray replaced(QByteArray text, const QByteArray &from, const QByteArray &to)
    {
        return text.replace(from, to);
    }

private slots:
    void roundTripOfATimeDomainFile()
    {
        std::vector<std::int32_t> samples{0, -1, 2147483647, -2147483647 - 1, 8388607, -8388608, 42};
        const double lsb = 4.096 / 16777216.0 / 3.0;
        const DataFileHeader header{QStringLiteral("Gerät, Kanal 2"), QDateTime::currentDateTime(), 24, lsb,
                                    static_cast<std::int32_t>(samples.size()), 1234.5};
        const Result result =
            parse(DataFileWriter::timeDomain(header, TimeStatistics{}, samples), QStringLiteral("a.csv"));
        QCOMPARE(result.outcome, Outcome::Loaded);
        QCOMPARE(result.block.deviceId, header.deviceId);
        QCOMPARE(result.block.samples, samples);
        QCOMPARE(result.block.numBits, std::int16_t(24));
        QVERIFY(std::fabs(result.block.lsbSize - lsb) <= std::fabs(lsb) * 1e-14);
        QCOMPARE(result.block.sampleFreq, 1234.0); // halves to even
    }

    void aFileKeepsTheScaleOfItsOwnHeader()
    {
        // Saved when the board's blocks carried 25 bits over twice the code range.
        QByteArray text = replaced(timeFile({"4096000"}), "Number of Bits:,24", "Number of Bits:,25");
        text = replaced(text, "LSB Size:,2.98023223876953E-07", "LSB Size:,2.44140632275958E-07");
        const Result result = parse(text, QStringLiteral("old.csv"));
        QCOMPARE(result.outcome, Outcome::Loaded);
        QCOMPARE(result.block.numBits, std::int16_t(25));
        QCOMPARE(result.block.lsbSize, 2.44140632275958E-07);
    }

    void sampleFrequencyRoundsHalvesToEven()
    {
        const Result result = parse(replaced(timeFile({"1"}), "Sample Frequency:, 1000 ", "Sample Frequency:, 1001.5 "),
                                    QStringLiteral("f.csv"));
        QCOMPARE(result.block.sampleFreq, 1002.0);
    }

    void cutShortFileLoadsTheValuesPresent()
    {
        const Result result = parse(timeFile({"5", "-6"}), QStringLiteral("short.csv"));
        QCOMPARE(result.outcome, Outcome::Loaded);
        QCOMPARE(result.block.samples, (std::vector<std::int32_t>{5, -6}));
    }

    void valuesRoundHalvesToEvenAndTrailingBlankLinesAreIgnored()
    {
        const Result result = parse(timeFile({" 2.5 ", "3.5", "-2.5", "", ""}), QStringLiteral("r.csv"));
        QCOMPARE(result.outcome, Outcome::Loaded);
        QCOMPARE(result.block.samples, (std::vector<std::int32_t>{2, 4, -2}));
    }

    void lineFeedAloneEndsLinesToo()
    {
        QByteArray text = timeFile({"1", "2"});
        text.replace("\r\n", "\n");
        QCOMPARE(parse(text, QStringLiteral("lf.csv")).block.samples, (std::vector<std::int32_t>{1, 2}));
    }

    void commaDecimalSeparatorInHeaderValues()
    {
        QByteArray text = replaced(timeFile({"1"}), "LSB Size:,2.98023223876953E-07", "LSB Size:,2,98023223876953E-07");
        text.replace("Sample Frequency:, 1000 ", "Sample Frequency:, 999,6 ");
        const Result result = parse(text, QStringLiteral("comma.csv"));
        QCOMPARE(result.outcome, Outcome::Loaded);
        QCOMPARE(result.block.lsbSize, 2.98023223876953E-07);
        QCOMPARE(result.block.sampleFreq, 1000.0);
    }

    void otherKindsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("marker");
        QTest::addColumn<QString>("message");
        QTest::newRow("fft") << QByteArray("FFT Points:")
                             << QStringLiteral("FFT data files cannont be loaded - select a time domain file.");
        QTest::newRow("histogram") << QByteArray("Histogram Points:")
                                   << QStringLiteral("Histogram data files cannot be loaded - select a time domain file.");
        QTest::newRow("list") << QByteArray("Data Points:")
                              << QStringLiteral("Data list files cannot be loaded - select a time domain file.");
    }

    void otherKindsAreRefused()
    {
        QFETCH(QByteArray, marker);
        QFETCH(QString, message);
        const Result result = parse(timeFile({"1", "2"}, marker), QStringLiteral("k.csv"));
        QCOMPARE(result.outcome, Outcome::Refused);
        QCOMPARE(result.message, message);
    }

    void markerMustMatchTheWholeLine()
    {
        QCOMPARE(parse(timeFile({"1"}, "Sample Points: "), QStringLiteral("m.csv")).outcome, Outcome::NoMarker);
        QCOMPARE(parse(timeFile({"1"}, "sample points:"), QStringLiteral("m.csv")).outcome, Outcome::NoMarker);
    }

    void fullAcquisitionAndTheLimit()
    {
        QByteArrayList values;
        for (int i = 0; i < 65535; ++i)
            values << QByteArray::number(i % 1000 - 500);
        QCOMPARE(parse(timeFile(values.mid(0, 43690)), QStringLiteral("full.csv")).block.samples.size(), 43690u);
        QCOMPARE(parse(timeFile(values), QStringLiteral("max.csv")).block.samples.size(), 65535u);
        values << "1";
        const Result tooMany = parse(timeFile(values), QStringLiteral("big.csv"));
        QCOMPARE(tooMany.outcome, Outcome::Failed);
        // 12 header and marker lines, then the 65536th value.
        QVERIFY2(tooMany.message.contains(QLatin1String("\"big.csv\"")) && tooMany.message.contains(QLatin1String("line 65548")),
                 qPrintable(tooMany.message));
    }

    void malformedFilesAreRefusedNamingTheLine_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("where");
        const QByteArray good = timeFile({"1", "2"});
        QTest::newRow("empty") << QByteArray() << QStringLiteral("empty");
        QTest::newRow("bits not a number") << replaced(good, "Bits:,24", "Bits:,2x4") << QStringLiteral("line 3");
        QTest::newRow("bits out of range") << replaced(good, "Bits:,24", "Bits:,40000") << QStringLiteral("line 3");
        QTest::newRow("bits negative") << replaced(good, "Bits:,24", "Bits:,-1") << QStringLiteral("line 3");
        QTest::newRow("lsb not a number") << replaced(good, "E-07", "E-0x") << QStringLiteral("line 4");
        QTest::newRow("lsb infinite") << replaced(good, "2.98023223876953E-07", "inf") << QStringLiteral("line 4");
        QTest::newRow("count out of range") << replaced(good, ", 4 ", ", 70000 ") << QStringLiteral("line 5");
        QTest::newRow("count not a number") << replaced(good, ", 4 ", ",  ") << QStringLiteral("line 5");
        QTest::newRow("frequency not a number") << replaced(good, ", 1000 ", ", 1kHz ") << QStringLiteral("line 6");
        QTest::newRow("frequency beyond 32 bits") << replaced(good, ", 1000 ", ", 1E+12 ") << QStringLiteral("line 6");
        QTest::newRow("value not a number") << timeFile({"1", "two", "3"}) << QStringLiteral("line 14");
        QTest::newRow("blank value inside") << timeFile({"1", "", "3"}) << QStringLiteral("line 14");
        QTest::newRow("value beyond 32 bits") << timeFile({"2147483648"}) << QStringLiteral("line 13");
        QTest::newRow("missing label") << replaced(good, "LSB Size:", "LSB:") << QStringLiteral("\"LSB Size:\"");
        // Values no converter can report: each would give impossible figures.
        QTest::newRow("no bits") << replaced(good, "Bits:,24", "Bits:,0") << QStringLiteral("line 3");
        QTest::newRow("33 bits") << replaced(good, "Bits:,24", "Bits:,33") << QStringLiteral("line 3");
        QTest::newRow("lsb negative") << replaced(good, "2.98023223876953E-07", "-2.98023223876953E-07") << QStringLiteral("line 4");
        QTest::newRow("lsb zero") << replaced(good, "2.98023223876953E-07", "0") << QStringLiteral("line 4");
        QTest::newRow("lsb 1e308") << replaced(good, "2.98023223876953E-07", "1E+308") << QStringLiteral("line 4");
        QTest::newRow("lsb above 1 V") << replaced(good, "2.98023223876953E-07", "1.0001") << QStringLiteral("line 4");
        QTest::newRow("lsb not finite") << replaced(good, "2.98023223876953E-07", "nan") << QStringLiteral("line 4");
        QTest::newRow("frequency zero") << replaced(good, ", 1000 ", ", 0 ") << QStringLiteral("line 6");
        QTest::newRow("frequency negative") << replaced(good, ", 1000 ", ", -1000 ") << QStringLiteral("line 6");
        QTest::newRow("frequency rounds to 0") << replaced(good, ", 1000 ", ", 0.4 ") << QStringLiteral("line 6");
        QTest::newRow("frequency infinite") << replaced(good, ", 1000 ", ", inf ") << QStringLiteral("line 6");
    }

    void malformedFilesAreRefusedNamingTheLine()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, where);
        const Result result = parse(content, QStringLiteral("bad.csv"));
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY2(result.message.contains(QLatin1String("\"bad.csv\"")) && result.message.contains(where),
                 qPrintable(result.message));
        QVERIFY(result.block.samples.empty());
    }

    void deviceNameIsNeverReadAsHeaderOrMarker()
    {
        const QByteArray name = "Sample Points:";
        const Result result = parse(name + timeFile({"7"}).mid(timeFile({}).indexOf("\r\n")), QStringLiteral("n.csv"));
        QCOMPARE(result.outcome, Outcome::Loaded);
        QCOMPARE(result.block.deviceId, QString::fromLatin1(name));
        QCOMPARE(result.block.samples, std::vector<std::int32_t>{7});
    }

    void scaleAtTheLimitsOfAConverterLoads()
    {
        const QByteArray limits = replaced(replaced(timeFile({"1"}), "Bits:,24", "Bits:,32"), "2.98023223876953E-07", "1");
        const Result widest = parse(replaced(limits, ", 1000 ", ", 0.6 "), QStringLiteral("l.csv"));
        QCOMPARE(widest.outcome, Outcome::Loaded);
        QCOMPARE(widest.block.numBits, std::int16_t(32));
        QCOMPARE(widest.block.lsbSize, 1.0);
        QCOMPARE(widest.block.sampleFreq, 1.0); // the slowest rate a time-domain file can give
        QCOMPARE(parse(replaced(timeFile({"1"}), "Bits:,24", "Bits:,1"), QStringLiteral("l.csv")).block.numBits,
                 std::int16_t(1));
    }

    // A name that is not UTF-8 comes from an older tool in Latin-1: read as
    // such and written back byte for byte; a UTF-8 name stays UTF-8.
    void deviceNameKeepsItsBytes_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("latin-1") << QByteArray("Ger\xe4t \xb5V") << QStringLiteral(u"Ger\u00e4t \u00b5V");
        QTest::newRow("utf-8") << QByteArray("Ger\xc3\xa4t \xc2\xb5V") << QStringLiteral(u"Ger\u00e4t \u00b5V");
        QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf" "Bench") << QStringLiteral(u"\ufeffBench");
    }

    void deviceNameKeepsItsBytes()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, expected);
        const QByteArray file = name + timeFile({"7"}).mid(timeFile({}).indexOf("\r\n"));
        const Result result = parse(file, QStringLiteral("n.csv"));
        QCOMPARE(result.outcome, Outcome::Loaded);
        QCOMPARE(result.block.deviceId, expected);
        const SampleBlock &block = result.block;
        const DataFileHeader header{block.deviceId, {}, block.numBits, block.lsbSize, block.numPoints(),
                                    block.sampleFreq, block.deviceIdIsLatin1};
        const QByteArray again = DataFileWriter::timeDomain(header, {}, block.samples);
        QCOMPARE(again.left(again.indexOf("\r\n")), name);
    }

    // Opening a FIFO would wait for a writer, a device node may be endless:
    // both are refused before they are opened, and left as they are.
    void otherThanRegularFilesAreRefusedUnopened()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe.csv"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        Result result = loadFile(fifo);
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY2(result.message.contains(QLatin1String("FIFO")), qPrintable(result.message));
        result = loadFile(dir.path());
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY2(result.message.contains(QLatin1String("folder")), qPrintable(result.message));
        const QString zeros = dir.filePath(QStringLiteral("zero.csv"));
        if (::mknod(QFile::encodeName(zeros).constData(), S_IFCHR | 0600, makedev(1, 5)) != 0)
            QSKIP("device nodes cannot be made here (not root)");
        result = loadFile(zeros);
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY2(result.message.contains(QLatin1String("device node")), qPrintable(result.message));
    }

    void unreadableFileIsNamed()
    {
        const Result result = loadFile(QStringLiteral("/no/such/file.csv"));
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY(result.message.contains(QLatin1String("file.csv")));
    }
};

QTEST_GUILESS_MAIN(tst_DataFileLoader)
#include "tst_DataFileLoader.moc"
