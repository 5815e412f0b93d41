// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileLoader.h"
#include "DataFileWriter.h"

#include <QtTest>
#include <cmath>
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

    void unreadableFileIsNamed()
    {
        const Result result = loadFile(QStringLiteral("/no/such/file.csv"));
        QCOMPARE(result.outcome, Outcome::Failed);
        QVERIFY(result.message.contains(QLatin1String("file.csv")));
    }
};

QTEST_GUILESS_MAIN(tst_DataFileLoader)
#include "tst_DataFileLoader.moc"
