// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileWriter.h"

#include <QTemporaryDir>
#include <QFile>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <vector>

class tst_DataFileWriter : public QObject
{
    Q_OBJECT

private:
    static DataFileHeader header(std::int32_t numPoints)
    {
        return DataFileHeader{QStringLiteral("KZ7305 Rev B"), QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)), 24,
                              5.0 / 16777216.0, numPoints, 1000.5};
    }
    static QList<QByteArray> lines(const QByteArray &content)
    {
        QList<QByteArray> result = content.split('\n');
        if (!result.isEmpty() && result.last().isEmpty())
            result.removeLast();
        return result;
    }

private slots:
    void timeDomainFileByteForByte()
    {
        const std::vector<std::int32_t> samples{-1, 0, 8388607, -8388608};
        TimeStatistics stats{-8388608, 8388607, -0.5, 288675.134594813};
        const QByteArray content = DataFileWriter::timeDomain(header(4096), stats, samples);
        QVERIFY(content.endsWith("\r\n"));
        const QList<QByteArray> l = lines(content);
        for (const QByteArray &line : l)
            QVERIFY2(line.endsWith('\r'), line.constData());
        QCOMPARE(l.size(), 6 + 5 + 1 + 4);
        QCOMPARE(l[0], QByteArray("KZ7305 Rev B\r"));
        QVERIFY(l[1].startsWith("Created: "));
        QVERIFY(l[1].contains("14") && l[1].contains("07") && l[1].contains("09"));
        QCOMPARE(l[2], QByteArray("Number of Bits:,24\r"));
        QCOMPARE(l[3], QByteArray("LSB Size:,2.98023223876953E-07\r"));
        QCOMPARE(l[4], QByteArray("Sample Points:, 4096 \r"));
        QCOMPARE(l[5], QByteArray("Sample Frequency:, 1000.5 \r"));
        QCOMPARE(l[6], QByteArray("Time Domain Data\r"));
        QCOMPARE(l[7], QByteArray("Standard Deviation (ppm):, 288675.134594813 \r"));
        QCOMPARE(l[8], QByteArray("Mean:,-0.5 \r"));
        QCOMPARE(l[9], QByteArray("Minimum:,-8388608 \r"));
        QCOMPARE(l[10], QByteArray("Maximum:, 8388607 \r"));
        QCOMPARE(l[11], QByteArray("Sample Points:\r"));
        QCOMPARE(l.mid(12), (QList<QByteArray>{"-1\r", "0\r", "8388607\r", "-8388608\r"}));
    }

    void fftFileWritesOneLinePerLevelOfTheTransform()
    {
        // Six samples, FFT length 4: the two samples beyond have no level.
        const std::vector<double> levels{-132.45, 0, -1.5e-7, 12.25};
        const QByteArray content =
            DataFileWriter::fft(header(6), {98.5, 97.25, -110.125, 999999999}, levels);
        const QList<QByteArray> l = lines(content);
        QCOMPARE(l.mid(6, 6), (QList<QByteArray>{"FFT Plot Data\r", "SNR:, 98.5 \r", "SINAD:, 97.25 \r",
                                                 "THD:,-110.125 \r", "SFDR:, 999999999 \r", "FFT Points:\r"}));
        QCOMPARE(l.mid(12), (QList<QByteArray>{"-132.45\r", "0\r", "-1.5E-07\r", "12.25\r"}));
    }

    void histogramFileAccountsForEverySample()
    {
        // Three codes: bins 0 .. 8 of one code each, whatever the sample count.
        Histogram histogram;
        histogram.compute(std::vector<std::int32_t>{5, -3, 0});
        QCOMPARE(lines(DataFileWriter::histogram(header(3), histogram)).mid(6),
                 (QList<QByteArray>{"Histogram Data\r", "Bin Size:, 1 \r", "First Bin Code:,-3 \r",
                                    "Histogram Points:\r", "1\r", "0\r", "0\r", "1\r", "0\r", "0\r", "0\r",
                                    "0\r", "1\r"}));

        // A wide sine of 4096 samples: bins of (max - min) / 65536 codes, up to
        // the one holding the maximum.
        std::vector<std::int32_t> sine(4096);
        for (std::size_t i = 0; i < sine.size(); ++i)
            sine[i] = static_cast<std::int32_t>(std::lround(7968981.0 * std::sin(0.0123 * double(i)) + 41));
        const auto [low, high] = std::minmax_element(sine.begin(), sine.end());
        const double width = double(*high - *low) / 65536;
        histogram.compute(sine);
        const QList<QByteArray> l = lines(DataFileWriter::histogram(header(4096), histogram));
        QVERIFY(l[7].startsWith("Bin Size:, ") && l[7].endsWith(" \r"));
        QVERIFY(std::fabs(l[7].mid(11).trimmed().toDouble() - width) < width * 1e-14);
        QCOMPARE(l[8], ("First Bin Code:," + QByteArray::number(*low) + " \r"));
        std::vector<double> expected(65537, 0.0);
        for (std::int32_t code : sine)
            expected[std::min<std::size_t>(static_cast<std::size_t>((code - *low) / width), 65536)] += 1;
        while (expected.back() == 0)
            expected.pop_back();
        QCOMPARE(l.size(), 10 + static_cast<qsizetype>(expected.size()));
        double sum = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(l[10 + static_cast<qsizetype>(i)].chopped(1).toDouble(), expected[i]);
            sum += expected[i];
        }
        QCOMPARE(sum, 4096.0);
    }

    void dataListFileFormats_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("formatLine");
        QTest::addColumn<QList<QByteArray>>("values");
        const QList<QByteArray> none;
        QTest::newRow("integer") << 0 << QByteArray("Data Format:, Integer\r")
                                 << QList<QByteArray>{"-1\r", "10\r", "0\r", "-8388608\r"};
        QTest::newRow("hex") << 1 << QByteArray("Data Format:, Hexidecimal\r")
                             << QList<QByteArray>{"FFFFFF\r", "A\r", "0\r", "800000\r"};
        QTest::newRow("percent") << 2 << QByteArray("Data Format:, Percentage of Full Scale\r")
                                 << QList<QByteArray>{"50.\r", "50.\r", "50.\r", "0.\r"};
        QTest::newRow("lsb") << 3 << QByteArray("Data Format:, Scaled by LSB\r")
                             << QList<QByteArray>{"0.\r", "0.\r", "0.\r", "-2.5\r"};
    }

    void dataListFileFormats()
    {
        QFETCH(int, format);
        QFETCH(QByteArray, formatLine);
        QFETCH(QList<QByteArray>, values);
        const std::vector<std::int32_t> samples{-1, 10, 0, -8388608};
        const QList<QByteArray> l =
            lines(DataFileWriter::dataList(header(4), static_cast<DataFormat>(format), samples));
        QCOMPARE(l[6], QByteArray("Data List\r"));
        QCOMPARE(l[7], formatLine);
        QCOMPARE(l[8], QByteArray("Data Points:\r"));
        QCOMPARE(l.mid(9), values);
    }

    void dataListWithoutFormatHasNoFormatLineAndNoValues()
    {
        const std::vector<std::int32_t> samples{1, 2, 3};
        const QList<QByteArray> l = lines(DataFileWriter::dataList(header(3), std::nullopt, samples));
        QCOMPARE(l.mid(6), (QList<QByteArray>{"Data List\r", "Data Points:\r"}));
    }

    void dataListWritesEveryValueOfAFullAcquisition()
    {
        std::vector<std::int32_t> samples(43690);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int32_t>(i);
        const QList<QByteArray> l = lines(DataFileWriter::dataList(header(43690), DataFormat::Integer, samples));
        QCOMPARE(l.size(), 9 + 43690);
        QCOMPARE(l.last(), QByteArray("43689\r"));
    }

    void saveReplacesTheFileWholeAndKeepsItOnFailure()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("block.csv"));
        QString error;
        QVERIFY(DataFileWriter::save(path, "old\r\n", &error));
        QVERIFY(DataFileWriter::save(path, "new\r\n", &error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("block.csv")});

        const QString missingDir = dir.filePath(QStringLiteral("no/such/dir/x.csv"));
        QVERIFY(!DataFileWriter::save(missingDir, "x", &error));
        QVERIFY(error.contains(missingDir));

        // A save that fails leaves no temporary file behind.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.csv")));
        QVERIFY(!DataFileWriter::save(dir.filePath(QStringLiteral("taken.csv")), "x", &error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("block.csv")});
    }

    // A save onto a FIFO or device node is refused and leaves it as it was:
    // the FIFO's reader gets nothing, the node stays a node.
    void saveWritesOnlyRegularFiles()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("pipe.csv"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        QString error;
        QVERIFY(!DataFileWriter::save(fifo, "block\r\n", &error));
        QVERIFY2(error.contains(QLatin1String("FIFO")) && error.contains(fifo), qPrintable(error));
        char byte = 0;
        QCOMPARE(::read(reader, &byte, 1), ssize_t(0));
        ::close(reader);
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

        const QString node = dir.filePath(QStringLiteral("full.csv"));
        if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
            QSKIP("device nodes cannot be made here (not root)");
        QVERIFY(!DataFileWriter::save(node, "block\r\n", &error));
        QVERIFY2(error.contains(QLatin1String("device node")), qPrintable(error));
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(node).constData(), &status), 0);
        QVERIFY(S_ISCHR(status.st_mode) && status.st_rdev == makedev(1, 7));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
    }

    // The file keeps what the user made of it: its mode, and a link stays a
    // link to the file it names; a new file gets the mode the umask allows.
    void saveKeepsModeAndLinks()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("target.csv"));
        const QString link = dir.filePath(QStringLiteral("link.csv"));
        QVERIFY(DataFileWriter::save(target, "old\r\n", nullptr));
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0604), 0);
        QVERIFY(QFile::link(target, link));
        QVERIFY(DataFileWriter::save(link, "new\r\n", nullptr));
        QVERIFY(QFileInfo(link).isSymLink());
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("new\r\n"));
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0604));

        const mode_t mask = ::umask(027);
        const QString fresh = dir.filePath(QStringLiteral("fresh.csv"));
        const bool saved = DataFileWriter::save(fresh, "x", nullptr);
        ::umask(mask);
        QVERIFY(saved);
        QCOMPARE(::stat(QFile::encodeName(fresh).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0640));
    }
};

QTEST_GUILESS_MAIN(tst_DataFileWriter)
#include "tst_DataFileWriter.moc"
