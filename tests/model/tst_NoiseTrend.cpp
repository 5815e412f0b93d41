// SPDX-License-Identifier: GPL-3.0-or-later
// The noise trend: its rows, their limit, and the CSV log.
#include "NoiseTrend.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// Codes offset - a and offset + a alternately: mean = offset, p-p = 2a,
// sigma = a sqrt(N / (N - 1)).
SampleBlock alternating(int offset, int a, int count = 100)
{
    SampleBlock block;
    block.numBits = 24;
    block.lsbSize = 1e-6; // 1 uV per code
    for (int i = 0; i < count; ++i)
        block.samples.push_back(offset + (i % 2 ? a : -a));
    return block;
}

QList<QByteArray> lines(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
}

} // namespace

class TestNoiseTrend : public QObject
{
    Q_OBJECT

private slots:
    void rowsKeepTheLastThousandBlocks()
    {
        NoiseTrend trend;
        const QDateTime start(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
        for (int i = 0; i < 1005; ++i)
            QVERIFY(trend.add(alternating(i, 3), start.addMSecs(500LL * i)));
        QCOMPARE(trend.rows().size(), std::size_t(1000));
        const NoiseTrend::Row &first = trend.rows().front();
        QCOMPARE(first.block, 6);
        QCOMPARE(*first.offsetUv, 5.0);
        QCOMPARE(*first.ppNoiseUv, 6.0);
        QVERIFY(std::fabs(*first.rmsNoiseUv - 3 * std::sqrt(100.0 / 99)) < 1e-12);
        QCOMPARE(trend.secondsOf(trend.rows().back()), 502.0);
        // Clearing starts the time again but never repeats a block number.
        trend.clear();
        QVERIFY(trend.add(alternating(0, 1), start.addSecs(1000)));
        QCOMPARE(trend.rows().front().block, 1006);
        QCOMPARE(trend.secondsOf(trend.rows().front()), 0.0);
        // A block of one sample has no figures.
        QVERIFY(trend.add(alternating(0, 1, 1), start));
        QVERIFY(!trend.rows().back().rmsNoiseUv && !trend.rows().back().offsetUv);
    }

    void logAppendsRowsWithPointDecimals()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trend.csv"));
        const QDateTime time(QDate(2026, 12, 8), QTime(1, 2, 3, 456), Qt::UTC);
        for (int run = 0; run < 2; ++run) {
            NoiseTrend trend;
            QString error;
            QVERIFY2(trend.startLog(path, &error), qPrintable(error));
            SampleBlock block = alternating(-2, 1);
            block.lsbSize = 0.25e-6;
            QVERIFY(trend.add(block, time));
            QVERIFY(trend.add(SampleBlock{}, time)); // no samples: empty fields
        }
        QLocale::setDefault(QLocale::c());
        const QList<QByteArray> rows = lines(path);
        // One header though the file was opened twice, then two rows a run.
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[0], QByteArray("Timestamp,Block,Offset (uV),RMS Noise (uV),Peak-to-Peak Noise (uV)\r"));
        const QList<QByteArray> fields = rows[1].trimmed().split(',');
        QCOMPARE(fields[0], QByteArray("2026-12-08T01:02:03.456Z"));
        QCOMPARE(fields[1], QByteArray("1"));
        QCOMPARE(fields[2], QByteArray("-0.5"));
        QVERIFY(std::fabs(fields[3].toDouble() - 0.25 * std::sqrt(100.0 / 99)) < 1e-14);
        QCOMPARE(fields[4], QByteArray("0.5"));
        QCOMPARE(rows[2].trimmed(), QByteArray("2026-12-08T01:02:03.456Z,2,,,"));
        QCOMPARE(rows[4].trimmed(), QByteArray("2026-12-08T01:02:03.456Z,2,,,"));
    }

    void logThatFailsIsClosedAndSaid()
    {
        NoiseTrend trend;
        QString error;
        QVERIFY(!trend.startLog(QStringLiteral("/nonexistent-dir/trend.csv"), &error));
        QVERIFY(error.contains(QLatin1String("/nonexistent-dir/trend.csv")));
        QVERIFY(!trend.logging());
        QVERIFY(trend.add(alternating(0, 1), QDateTime::currentDateTimeUtc()));
        QCOMPARE(trend.rows().size(), std::size_t(1));
    }

    // A FIFO would block the log's first write and a device node would take
    // the rows away: both are refused and left untouched.
    void logIsARegularFileOnly()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("trend-pipe.csv"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        NoiseTrend trend;
        QString error;
        QVERIFY(!trend.startLog(fifo, &error));
        QVERIFY2(error.contains(QLatin1String("FIFO")), qPrintable(error));
        char byte = 0;
        QCOMPARE(::read(reader, &byte, 1), ssize_t(0));
        ::close(reader);
        const QString node = dir.filePath(QStringLiteral("trend-full.csv"));
        if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
            QSKIP("device nodes cannot be made here (not root)");
        QVERIFY(!trend.startLog(node, &error));
        QVERIFY2(error.contains(QLatin1String("device node")), qPrintable(error));
        QVERIFY(!trend.logging());
    }

    // A row the file system takes only in part (here: the file size limit) is
    // cut off again, so the log holds whole rows only.
    void rowThatCannotBeWrittenWholeIsRolledBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trend.csv"));
        NoiseTrend trend;
        QString error;
        QVERIFY(trend.startLog(path, &error));
        QVERIFY(trend.add(alternating(0, 1), QDateTime::currentDateTimeUtc(), &error));
        const qint64 whole = QFileInfo(path).size();

        const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit tight{rlim_t(whole + 10), limit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &tight);
        const bool added = trend.add(alternating(5, 2), QDateTime::currentDateTimeUtc(), &error);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, oldHandler);

        QVERIFY(!added);
        QVERIFY2(error.contains(path), qPrintable(error));
        QVERIFY(!trend.logging());
        QCOMPARE(QFileInfo(path).size(), whole);
        QVERIFY(lines(path).last().isEmpty()); // the file ends with a line end
        QCOMPARE(trend.rows().size(), std::size_t(2));
    }
};

QTEST_GUILESS_MAIN(TestNoiseTrend)
#include "tst_NoiseTrend.moc"
