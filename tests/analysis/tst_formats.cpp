// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts and the four data formats of a code.
#include "DataFormat.h"
#include "NumberFormat.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace NumberFormat;

class TestFormats : public QObject
{
    Q_OBJECT

private slots:
    void patterns_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("minDecimals");
        QTest::addColumn<int>("maxDecimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("four decimals") << 306186.21778 << 0 << 4 << "306186.2178";
        QTest::newRow("whole keeps separator") << 50.0 << 0 << 2 << "50.";
        QTest::newRow("trailing zeros dropped") << 3.5 << 0 << 4 << "3.5";
        QTest::newRow("half away from zero") << 0.125 << 0 << 2 << "0.13";
        QTest::newRow("negative half") << -0.125 << 0 << 2 << "-0.13";
        QTest::newRow("exact binary tie at 4") << 53.03125 << 0 << 4 << "53.0313";
        QTest::newRow("below half") << 0.12499 << 0 << 2 << "0.12";
        QTest::newRow("rounds to zero has no sign") << -0.001 << 0 << 2 << "0.";
        QTest::newRow("leading zero") << 0.5 << 0 << 2 << "0.5";
        QTest::newRow("min decimal kept") << 2.0 << 1 << 3 << "2.0";
        QTest::newRow("min decimal pattern") << 0.0625 << 1 << 3 << "0.063";
        QTest::newRow("large value") << 1.0e20 << 0 << 4 << "100000000000000000000.";
    }

    void patterns()
    {
        QFETCH(double, value);
        QFETCH(int, minDecimals);
        QFETCH(int, maxDecimals);
        QFETCH(QString, text);
        QCOMPARE(pattern(value, minDecimals, maxDecimals, QLatin1Char('.')), text);
    }

    void separatorIsTheCallers()
    {
        QCOMPARE(pattern(50.0, 0, 2, QLatin1Char(',')), QStringLiteral("50,"));
        QCOMPARE(pattern(1.25, 0, 2, QLatin1Char(',')), QStringLiteral("1,25"));
        QCOMPARE(general(2.5, QLatin1Char(',')), QStringLiteral("2,5"));
    }

    void groupedDigits()
    {
        const QChar dot = QLatin1Char('.');
        QCOMPARE(grouped(1001.4697, 2, dot), QStringLiteral("1 001.47"));
        QCOMPARE(grouped(999.996, 2, QLatin1Char(',')), QStringLiteral("1 000,00"));
        QCOMPARE(grouped(-1234567.5, 1, dot), QStringLiteral("-1 234 567.5"));
        QCOMPARE(grouped(123456.0, 0, dot), QStringLiteral("123 456"));
        QCOMPARE(grouped(12.0, 3, dot), QStringLiteral("12.000"));
    }

    void generalFormat_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("small fixed") << 0.0001 << "0.0001";
        QTest::newRow("small exponent") << 1e-5 << "1E-05";
        QTest::newRow("15 digits fixed") << 123456789012345.0 << "123456789012345";
        QTest::newRow("large exponent") << 1e15 << "1E+15";
        QTest::newRow("lsb size") << 5.0 / 16777216.0 << "2.98023223876953E-07";
        QTest::newRow("negative code") << -8388608.0 << "-8388608";
        QTest::newRow("fraction") << 0.5 << "0.5";
        QTest::newRow("third") << 1.0 / 3.0 << "0.333333333333333";
    }

    void generalFormat()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(general(value, QLatin1Char('.')), text);
    }

    void roundingHalvesToEven()
    {
        QCOMPARE(roundHalfEven32(2.5), 2);
        QCOMPARE(roundHalfEven32(3.5), 4);
        QCOMPARE(roundHalfEven32(-2.5), -2);
        QCOMPARE(roundHalfEven32(-1.4), -1);
        QCOMPARE(roundHalfEven32(12.5), 12);
        QCOMPARE(roundHalfEven32(std::nan("")), 0);
        QCOMPARE(roundHalfEven32(1e20), std::numeric_limits<std::int32_t>::max());
        QCOMPARE(roundHalfEven32(-1e20), std::numeric_limits<std::int32_t>::min());
        QCOMPARE(roundHalfEven16(24.5), std::int16_t(24));
        QCOMPARE(roundHalfEven16(24.58), std::int16_t(25));
        QCOMPARE(roundHalfEven16(40000), std::int16_t(32767));
    }

    void hexadecimalKeepsLastDigits_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("numBits");
        QTest::addColumn<QString>("text");
        QTest::newRow("-1 at 24 bits") << -1.0 << 24 << "FFFFFF";
        QTest::newRow("255 at 24 bits") << 255.0 << 24 << "FF";
        QTest::newRow("-1 at 3 bits") << -1.0 << 3 << "F";
        QTest::newRow("-1 at 4 bits") << -1.0 << 4 << "F";
        QTest::newRow("-1 at 5 bits") << -1.0 << 5 << "FF";
        QTest::newRow("-1 at 12 bits") << -1.0 << 12 << "FFF";
        QTest::newRow("-1 at 16 bits") << -1.0 << 16 << "FFFF";
        QTest::newRow("-2 at 20 bits") << -2.0 << 20 << "FFFFE";
        QTest::newRow("-1 at 28 bits") << -1.0 << 28 << "FFFFFFF";
        QTest::newRow("-1 at 29 bits") << -1.0 << 29 << "FFFFFFFF";
        QTest::newRow("min at 24 bits") << -8388608.0 << 24 << "800000";
        QTest::newRow("mean -1.4") << -1.4 << 24 << "FFFFFF";
        QTest::newRow("mean -2.5 to even") << -2.5 << 24 << "FFFFFE";
        QTest::newRow("zero") << 0.0 << 24 << "0";
        QTest::newRow("beyond int32 clamps") << 1e12 << 32 << "7FFFFFFF";
        QTest::newRow("beyond int32 negative") << -1e12 << 32 << "80000000";
        QTest::newRow("not a number") << std::nan("") << 24 << "0";
    }

    void hexadecimalKeepsLastDigits()
    {
        QFETCH(double, value);
        QFETCH(int, numBits);
        QFETCH(QString, text);
        QCOMPARE(CodeText::hexadecimal(value, numBits), text);
    }

    void percentOfFullScale()
    {
        const QChar dot = QLatin1Char('.');
        QCOMPARE(CodeText::percentOfFullScale(0, 24, dot), QStringLiteral("50."));
        QCOMPARE(CodeText::percentOfFullScale(0, 24, QLatin1Char(',')), QStringLiteral("50,"));
        QCOMPARE(CodeText::percentOfFullScale(-8388608, 24, dot), QStringLiteral("0."));
        QCOMPARE(CodeText::percentOfFullScale(8388607, 24, dot), QStringLiteral("100."));
        QCOMPARE(CodeText::percentOfFullScale(1, 3, dot), QStringLiteral("62.5"));
        QCOMPARE(CodeText::percentOfFullScale(-1, 5, dot), QStringLiteral("46.88"));
    }

    void scaledByLsb()
    {
        const QChar dot = QLatin1Char('.');
        const double lsb = 5.0 / 16777216.0;
        QCOMPARE(CodeText::scaledByLsb(1, lsb, dot), QStringLiteral("0."));
        QCOMPARE(CodeText::scaledByLsb(1000000, lsb, dot), QStringLiteral("0.298"));
        QCOMPARE(CodeText::scaledByLsb(-8388608, lsb, dot), QStringLiteral("-2.5"));
    }

    void codeInEachFormat()
    {
        const CodeScale scale{24, 5.0 / 16777216.0};
        const QChar dot = QLatin1Char('.');
        QCOMPARE(CodeText::code(-5, DataFormat::Integer, scale, dot), QStringLiteral("-5"));
        QCOMPARE(CodeText::code(-5, DataFormat::Hexadecimal, scale, dot), QStringLiteral("FFFFFB"));
        QCOMPARE(CodeText::code(4194304, DataFormat::PercentOfFullScale, scale, dot), QStringLiteral("75."));
        QCOMPARE(CodeText::code(4194304, DataFormat::ScaledByLsb, scale, dot), QStringLiteral("1.25"));
    }
};

QTEST_APPLESS_MAIN(TestFormats)
#include "tst_formats.moc"
