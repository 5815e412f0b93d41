// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileWriter.h"
#include "FigureCatalogue.h"
#include "GraphFileReader.h"

#include <QtTest>
#include <vector>

using DataFileLoader::Outcome;

class tst_GraphFileReader : public QObject
{
    Q_OBJECT

private:
    static DataFileHeader header()
    {
        return {QStringLiteral("Bench unit 7"), QDateTime::currentDateTime(), 24, 5.0 / 16777216.0, 70, 977.5};
    }

    static QByteArray fftFile(const QByteArrayList &levels)
    {
        QByteArray text = "Bench\r\nCreated: 1.1.2024 10:00:00\r\nNumber of Bits:,24\r\nLSB Size:,1E-07\r\n"
                          "Sample Points:, 8 \r\nSample Frequency:, 1000 \r\nFFT Plot Data\r\nSNR:, 80 \r\n"
                          "SINAD:, 79 \r\nTHD:,-90 \r\nSFDR:, 95 \r\nFFT Points:\r\n";
        for (const QByteArray &level : levels)
            text += level + "\r\n";
        return text;
    }

    static QByteArray histogramFile(const QByteArray &binSize, const QByteArray &firstCode, const QByteArrayList &counts)
    {
        QByteArray text = "Bench\r\nCreated: 1.1.2024 10:00:00\r\nNumber of Bits:,24\r\nLSB Size:,1E-07\r\n"
                          "Sample Points:, 8 \r\nSample Frequency:, 1000 \r\nHistogram Data\r\nBin Size:, "
                          + binSize + " \r\nFirst Bin Code:, " + firstCode + " \r\nHistogram Points:\r\n";
        for (const QByteArray &count : counts)
            text += count + "\r\n";
        return text;
    }

private slots:
    // Every figure an FFT file's kind block holds reads back as written.
    void everyFftFileFigureReadsBack()
    {
        const DataFileWriter::SpectralFigures written{81.25, 80.5, -95.75, 999999999};
        const GraphFileReader::Result read = GraphFileReader::parse(
            DataFileWriter::fft(header(), written, std::vector<double>{-1, -2}), QStringLiteral("f.csv"));
        QCOMPARE(read.outcome, Outcome::Loaded);
        const QList<const FigureCatalogue::Entry *> inFile =
            FigureCatalogue::shownAt(&FigureCatalogue::Entry::file, FigureCatalogue::Section::Spectrum);
        QCOMPARE(inFile.size(), 4);
        for (const FigureCatalogue::Entry *entry : inFile)
            QCOMPARE(entry->read(read.figures.results()).number, entry->read(written.results()).number);
        QCOMPARE(read.figures.sinad, 80.5);
    }

    void filesOfEachGraphKindReadBackAsWritten()
    {
        const std::vector<double> levels{-0.5, -120.25, -3.0517578125e-05, -180, 0, -99.125, -140.5, -1e-300};
        const DataFileWriter::SpectralFigures figures{81.25, 80.5, -95.75, 99.0};
        const GraphFileReader::Result fft =
            GraphFileReader::parse(DataFileWriter::fft(header(), figures, levels), QStringLiteral("f.csv"));
        QCOMPARE(fft.outcome, Outcome::Loaded);
        QCOMPARE(fft.kind, GraphFileReader::Kind::Fft);
        QCOMPARE(fft.values, levels);
        QCOMPARE(fft.figures.snr, 81.25);
        QCOMPARE(fft.figures.thd, -95.75);
        QCOMPARE(fft.figures.sfdr, 99.0);
        QCOMPARE(fft.header.deviceId, QStringLiteral("Bench unit 7"));
        QCOMPARE(fft.header.numPoints, 70);
        QCOMPARE(fft.header.sampleFreq, 977.5); // an FFT keeps its rate; only time-domain files round it
        QCOMPARE(fft.header.numBits, 24);

        const std::vector<double> counts{3, 0, 7, 1, 0, 0, 2};
        const GraphFileReader::Result histogram = GraphFileReader::parse(
            DataFileWriter::histogram(header(), 2.5, -8388608, counts), QStringLiteral("h.csv"));
        QCOMPARE(histogram.outcome, Outcome::Loaded);
        QCOMPARE(histogram.kind, GraphFileReader::Kind::Histogram);
        QCOMPARE(histogram.values, counts);
        QCOMPARE(histogram.binSize, 2.5);
        QCOMPARE(histogram.firstBinCode, -8388608.0);

        const std::vector<std::int32_t> codes{5, -7, 8388607};
        const GraphFileReader::Result time =
            GraphFileReader::parse(DataFileWriter::timeDomain(header(), {}, codes), QStringLiteral("t.csv"));
        QCOMPARE(time.outcome, Outcome::Loaded);
        QCOMPARE(time.kind, GraphFileReader::Kind::TimeDomain);
        QCOMPARE(time.samples, codes);
        QCOMPARE(time.header.numPoints, 3);
        QCOMPARE(time.header.sampleFreq, 978.0);
    }

    void brokenAndHostileFilesAreRefusedWithAMessage_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QByteArrayList eight{"-1", "-2", "-3", "-4", "-5", "-6", "-7", "-8"};
        QTest::newRow("levels not a power of two")
            << fftFile(eight.mid(0, 6))
            << QStringLiteral("Cannot load \"x.csv\": 6 levels are no FFT: their count must be a power of two from 2 to 65536.");
        QTest::newRow("one level") << fftFile({"-1"}) << QStringLiteral("1 levels are no FFT");
        QByteArrayList text = eight;
        text[2] = "abc";
        QTest::newRow("text level") << fftFile(text) << QStringLiteral("Cannot load \"x.csv\": line 15 is not a number.");
        QByteArrayList nan = eight;
        nan[3] = "nan";
        QTest::newRow("not finite") << fftFile(nan) << QStringLiteral("line 16 is not a number");
        QByteArrayList huge = eight;
        huge[0] = "1e400";
        QTest::newRow("beyond a double") << fftFile(huge) << QStringLiteral("line 13 is not a number");
        huge[0] = "-1.79769313486231E+308";
        QTest::newRow("beyond any level") << fftFile(huge) << QStringLiteral("a level is out of range");
        QTest::newRow("no SNR") << fftFile(eight).replace("SNR:, 80 \r\n", "")
                                << QStringLiteral("there is no \"SNR:\" line");
        QTest::newRow("negative count") << histogramFile("1", "0", {"1", "-2"}) << QStringLiteral("a bin count is not from 0 to 65535");
        QTest::newRow("bin size 0") << histogramFile("0", "0", {"1"}) << QStringLiteral("out of range");
        QTest::newRow("first code far away") << histogramFile("1", "1e300", {"1"}) << QStringLiteral("out of range");
        QTest::newRow("no bin size") << histogramFile("1", "0", {"1"}).replace("Bin Size:", "Bins:")
                                     << QStringLiteral("there is no \"Bin Size:\" line");
        QByteArrayList many(65538, "1");
        QTest::newRow("too many counts") << histogramFile("1", "0", many)
                                         << QStringLiteral("line 65548 is one value too many: at most 65537 values");
        QTest::newRow("data list") << fftFile(eight).replace("FFT Points:", "Data Points:")
                                   << QStringLiteral("Data list files cannot be loaded as a reference");
        QTest::newRow("no marker") << fftFile(eight).replace("FFT Points:", "FFT Points: ")
                                   << QStringLiteral("holds no marker line");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("the file is empty");
        QTest::newRow("binary") << QByteArray("\0\xff\r\n,\x80,,\n\r\r", 11) << QStringLiteral("not a KZ7305EVM data file");
    }

    void brokenAndHostileFilesAreRefusedWithAMessage()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const GraphFileReader::Result result = GraphFileReader::parse(content, QStringLiteral("x.csv"));
        QVERIFY(result.outcome != Outcome::Loaded);
        QVERIFY2(result.message.contains(message), qPrintable(result.message));
        QVERIFY(result.values.empty());
    }
};

QTEST_GUILESS_MAIN(tst_GraphFileReader)
#include "tst_GraphFileReader.moc"
