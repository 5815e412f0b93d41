// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataList.h"
#include "Histogram.h"

#include <QTest>
#include <climits>
#include <cmath>
#include <numeric>

class TestHistogramDataList : public QObject
{
    Q_OBJECT

private slots:
    void equalCodesFillBinZero()
    {
        Histogram histogram;
        const std::vector<std::int32_t> codes(100, -42);
        histogram.compute(codes);
        QCOMPARE(histogram.binWidth(), 1.0);
        QCOMPARE(histogram.minimum(), -42.0);
        QCOMPARE(histogram.maximum(), -42.0);
        QCOMPARE(histogram.counts()[0], 100.0);
        QCOMPARE(histogram.counts().size(), std::size_t(65537));
    }

    void oneCodePerBin()
    {
        Histogram histogram;
        const std::int32_t codes[] = {5, -3, 0};
        histogram.compute(codes);
        QCOMPARE(histogram.minimum(), -3.0);
        QCOMPARE(histogram.counts()[0], 1.0);
        QCOMPARE(histogram.counts()[3], 1.0);
        QCOMPARE(histogram.counts()[8], 1.0);
        QCOMPARE(std::accumulate(histogram.counts().begin(), histogram.counts().end(), 0.0), 3.0);
        QCOMPARE(Histogram::binCentre(histogram.minimum(), histogram.binWidth(), 0), -2.5);
        QCOMPARE(Histogram::binCentre(histogram.minimum(), histogram.binWidth(), 3), 0.5);
        QCOMPARE(Histogram::binCentre(histogram.minimum(), histogram.binWidth(), 8), 5.5);
        QCOMPARE(histogram.axisLabel(QLatin1Char('.')), QStringLiteral("Bins (Bin Size:1.0)"));
    }

    void widthTwoAndTheLastEntry()
    {
        Histogram histogram;
        const std::int32_t codes[] = {-1000, -999, -998, 131072 - 1000};
        histogram.compute(codes);
        QCOMPARE(histogram.binWidth(), 2.0);
        QCOMPARE(histogram.counts()[0], 2.0);
        QCOMPARE(histogram.counts()[1], 1.0);
        QCOMPARE(histogram.counts()[65535], 0.0);
        QCOMPARE(histogram.counts()[65536], 1.0);
        QCOMPARE(histogram.axisLabel(QLatin1Char(',')), QStringLiteral("Bins (Bin Size:2,0)"));
    }

    void rangeOfExactly65536Codes()
    {
        Histogram histogram;
        const std::int32_t codes[] = {0, 65536};
        histogram.compute(codes);
        QCOMPARE(histogram.binWidth(), 1.0);
        QCOMPARE(histogram.counts()[0], 1.0);
        QCOMPARE(histogram.counts()[65536], 1.0);
    }

    void widestRangeStaysInTheArray()
    {
        Histogram histogram;
        const std::int32_t codes[] = {INT32_MIN, INT32_MAX, 0};
        histogram.compute(codes);
        QCOMPARE(histogram.counts()[0], 1.0);
        QCOMPARE(histogram.counts()[65536], 1.0);
        QCOMPARE(histogram.counts()[32768], 1.0);
    }

    void emptyBlockCountsNothing()
    {
        Histogram histogram;
        const std::int32_t codes[] = {7, 9};
        histogram.compute(codes);
        histogram.compute({});
        QCOMPARE(histogram.minimum(), 0.0);
        QCOMPARE(histogram.maximum(), 0.0);
        QCOMPARE(std::accumulate(histogram.counts().begin(), histogram.counts().end(), 0.0), 0.0);
    }

    void histogramProgress()
    {
        Histogram histogram;
        const std::vector<std::int32_t> codes(17, 1);
        std::vector<std::int32_t> reports;
        histogram.compute(codes, [&](std::int32_t p) { reports.push_back(p); });
        QCOMPARE(reports, (std::vector<std::int32_t>{0, 1, 2}));
    }

    // The screen tells neighbouring codes apart at the board's scale: each
    // text read back lies within half a code of the code's own value.
    void screenTextsResolveOneCode()
    {
        const CodeScale board{24, 5.0 / 16777216.0};
        const double unitOf[] = {1.0, 1e-3, 1e-6, 1e-9};
        const QStringList units = {QStringLiteral("V"), QStringLiteral("mV"), QStringLiteral("µV"), QStringLiteral("nV")};
        for (std::int32_t code : {1, 0, -1, 8388607}) {
            const QStringList volts = CodeText::screenCode(code, DataFormat::ScaledByLsb, board, QLatin1Char('.')).split(' ');
            QCOMPARE(volts.size(), 2);
            QVERIFY(units.contains(volts[1]));
            const double value = volts[0].toDouble() * unitOf[units.indexOf(volts[1])];
            QVERIFY2(std::abs(value - code * board.lsbSize) <= board.lsbSize / 2, qPrintable(volts.join(' ')));
            const double percent = CodeText::screenCode(code, DataFormat::PercentOfFullScale, board, QLatin1Char('.')).toDouble();
            const double onePercentCode = 100.0 / 16777216.0;
            QVERIFY(std::abs(percent - (50 + code * onePercentCode)) <= onePercentCode / 2);
        }
    }

    void linesInEveryFormat()
    {
        const CodeScale scale{24, 0.5e-6};
        const QChar sep = QLatin1Char(',');
        QCOMPARE(DataList::line(1, -1, DataFormat::Hexadecimal, scale, sep), QStringLiteral("1\tFFFFFF"));
        // On screen one code in 2^24 is 0.0000060 % of full scale: six decimals.
        QCOMPARE(DataList::line(10, 0, DataFormat::PercentOfFullScale, scale, sep), QStringLiteral("10\t50,000000"));
        QCOMPARE(DataList::line(3, -8388608, DataFormat::PercentOfFullScale, scale, sep), QStringLiteral("3\t0,000000"));
        QCOMPARE(DataList::line(2, -1234567, DataFormat::Integer, scale, sep), QStringLiteral("2\t-1234567"));
        // 12345 x 0.5 µV in millivolts, to the 0.0005 mV of one code.
        QCOMPARE(DataList::line(4, 12345, DataFormat::ScaledByLsb, scale, sep), QStringLiteral("4\t6,1725 mV"));
        QCOMPARE(DataList::line(5, 255, DataFormat::Hexadecimal, scale, sep), QStringLiteral("5\tFF"));
    }

    void everySampleIsListed()
    {
        std::vector<std::int32_t> codes(40000);
        for (std::size_t i = 0; i < codes.size(); ++i)
            codes[i] = static_cast<std::int32_t>(i) - 20000;
        std::int32_t lastReport = -1;
        int reports = 0;
        const QStringList lines = DataList::lines(codes, DataFormat::Integer, CodeScale{24, 1e-6},
                                                  QLatin1Char('.'), [&](std::int32_t p) {
                                                      lastReport = p;
                                                      ++reports;
                                                  });
        QCOMPARE(lines.size(), 40000);
        QCOMPARE(lines.first(), QStringLiteral("1\t-20000"));
        QCOMPARE(lines.at(32736), QStringLiteral("32737\t12736"));
        QCOMPARE(lines.last(), QStringLiteral("40000\t19999"));
        QCOMPARE(lastReport, 4999);
        QCOMPARE(reports, 5000);
    }

    void noFormatNoLines()
    {
        const std::vector<std::int32_t> codes(16, 3);
        int reports = 0;
        QVERIFY(DataList::lines(codes, std::nullopt, CodeScale{24, 1e-6}, QLatin1Char('.'),
                                [&](std::int32_t) { ++reports; })
                    .isEmpty());
        QCOMPARE(reports, 2);
    }
};

QTEST_GUILESS_MAIN(TestHistogramDataList)
#include "tst_histogramdatalist.moc"
