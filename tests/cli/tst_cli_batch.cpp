// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliFixture.h"

#include <numeric>

// Several files in one run of the real kz7305evm-cli: each gives what a run
// of its own gives, in the order given; a file that fails is reported in its
// place and the run ends with exit code 1; --average adds them up.
class tst_cli_batch : public QObject, protected CliFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { writeCommonFiles(); }

    void averageOfFilesInLinearPower()
    {
        // Three files of one tone (bin 67, second harmonic on bin 134) with
        // noise of different power; NB 1 and H 2 make the sums single bins.
        const int n = 4096;
        for (int f = 0; f < 3; ++f) {
            std::vector<std::int32_t> samples(n);
            for (int i = 0; i < n; ++i) {
                const double t = 2 * M_PI * i / n;
                samples[i] = static_cast<std::int32_t>(std::lround(
                    4e6 * std::sin(67 * t) + 2e4 * std::sin(134 * t) + std::pow(10.0, f + 1) * std::sin(i * (1.37 + f))));
            }
            writeTimeFile(qPrintable(QStringLiteral("noise%1.csv").arg(f)), samples);
        }
        const QStringList options{QStringLiteral("--view"), QStringLiteral("fft"), QStringLiteral("--bins"),
                                  QStringLiteral("1"), QStringLiteral("--harmonics"), QStringLiteral("2")};
        auto levelsOf = [this](const QString &file) {
            QList<QByteArray> lines = readFile(file).split('\n');
            lines.removeLast();
            std::vector<double> levels;
            for (const QByteArray &line : lines.mid(lines.indexOf("FFT Points:\r") + 1))
                levels.push_back(line.trimmed().toDouble());
            return levels;
        };
        std::vector<std::vector<double>> single;
        for (int f = 0; f < 3; ++f) {
            const QString out = path("single.csv");
            QCOMPARE(run(QStringList{QStringLiteral("analyze"), m_dir.filePath(QStringLiteral("noise%1.csv").arg(f)),
                                     QStringLiteral("--save"), out} + options).exitCode, 0);
            single.push_back(levelsOf(out));
        }
        const Run averaged = run(QStringList{QStringLiteral("analyze"), QStringLiteral("--average"), path("noise0.csv"),
                                             path("noise1.csv"), path("noise2.csv"), QStringLiteral("--json"),
                                             QStringLiteral("--save"), path("average.csv")} + options);
        QCOMPARE(averaged.exitCode, 0);
        const QJsonObject figures = json(averaged);
        QCOMPARE(figures.value(QLatin1String("averaged_blocks")).toInt(), 3);

        // Levels: 10 log10 of the mean linear power, bin by bin.
        const std::vector<double> levels = levelsOf(path("average.csv"));
        QCOMPARE(levels.size(), std::size_t(n));
        std::vector<double> meanPower(n / 2);
        double worst = 0;
        for (int b = 0; b <= n / 2 - 1; ++b) {
            for (const auto &file : single)
                meanPower[b] += std::pow(10.0, file[b] / 10) / 3;
            worst = std::max(worst, std::fabs(levels[b] - 10 * std::log10(meanPower[b])));
        }
        QVERIFY2(worst < 1e-9, qPrintable(QString::number(worst)));
        // Figures from the averaged powers: signal bin 67, harmonic bin 134,
        // noise every other bin from 1 up.
        double total = 0;
        for (int b = 1; b < n / 2; ++b)
            total += meanPower[b];
        const double noise = total - meanPower[67] - meanPower[134];
        QVERIFY(std::fabs(figures.value(QLatin1String("snr")).toDouble() - 10 * std::log10(meanPower[67] / noise)) < 1e-6);
        QVERIFY(std::fabs(figures.value(QLatin1String("thd")).toDouble() - 10 * std::log10(meanPower[134] / meanPower[67]))
                < 1e-6);

        // Another rate, or another length, in the set: refused, nothing written.
        writeTimeFile("otherRate.csv", std::vector<std::int32_t>(4096, 5), 24, 44100);
        writeTimeFile("shorter.csv", std::vector<std::int32_t>(2048, 5));
        for (const char *odd : {"otherRate.csv", "shorter.csv"}) {
            const Run refused = run({QStringLiteral("analyze"), QStringLiteral("--view"), QStringLiteral("fft"),
                                     QStringLiteral("--average"), path("noise0.csv"), path(odd),
                                     QStringLiteral("--save"), path("refused.csv")});
            QCOMPARE(refused.exitCode, 1);
            QVERIFY(refused.out.isEmpty() && refused.err.contains(odd));
            QVERIFY(!QFile::exists(path("refused.csv")));
        }
        // Averaging needs the FFT view and two files at least.
        QCOMPARE(run({QStringLiteral("analyze"), QStringLiteral("--average"), path("noise0.csv"), path("noise1.csv")}).exitCode, 2);
        QCOMPARE(run(QStringList{QStringLiteral("analyze"), QStringLiteral("--average"), path("noise0.csv")} + options).exitCode, 2);
    }

    void batchJsonLinesMatchSingleRuns()
    {
        const QStringList files{path("ramp.csv"), path("missing.csv"), path("tone, \"copy\".csv"), path("notes.csv")};
        const QStringList fft{QStringLiteral("--view=fft"), QStringLiteral("--window=hann"), QStringLiteral("--json")};
        const Run batch = run(QStringList{QStringLiteral("analyze")} + files + fft);
        QCOMPARE(batch.exitCode, 1);
        QList<QByteArray> lines = batch.out.split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        QCOMPARE(lines.size(), files.size());
        QCOMPARE(batch.err.count('\n'), 2);
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QJsonObject object = QJsonDocument::fromJson(lines[i]).object();
            const Run single = run(QStringList{QStringLiteral("analyze"), files[i]} + fft);
            if (single.exitCode == 0) {
                QCOMPARE(object, json(single));
                continue;
            }
            QCOMPARE(object.keys(), (QStringList{QStringLiteral("error"), QStringLiteral("file")}));
            QCOMPARE(object.value(QLatin1String("file")).toString(), files[i]);
            // The single run's stderr line is "kz7305evm-cli analyze: " and the problem.
            QVERIFY(single.err.endsWith(": " + object.value(QLatin1String("error")).toString().toUtf8() + '\n'));
        }

        QCOMPARE(run({QStringLiteral("analyze"), path("ramp.csv"), path("tone.csv"), QStringLiteral("--save"), path("two.csv")})
                     .exitCode, 2);
        QVERIFY(!QFile::exists(path("two.csv")));
    }

    void batchTableHoldsEachFilesFigures()
    {
        const QStringList files{path("notes.csv"), path("ramp.csv"), path("tone, \"copy\".csv")};
        const Run batch = run(QStringList{QStringLiteral("analyze")} + files + QStringList{QStringLiteral("--table")});
        QCOMPARE(batch.exitCode, 1);
        QVERIFY(batch.out.endsWith("\r\n"));
        const QList<QStringList> rows = csvRecords(QString::fromUtf8(batch.out));
        QCOMPARE(rows.size(), 1 + files.size());
        const QStringList header = rows.first();
        QCOMPARE(header.mid(0, 4), (QStringList{QStringLiteral("file"), QStringLiteral("device"),
                                                QStringLiteral("samples"), QStringLiteral("view")}));
        QCOMPARE(header.last(), QStringLiteral("error"));
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QStringList &row = rows[i + 1];
            QCOMPARE(row.size(), header.size());
            QCOMPARE(row.first(), files[i]);
            const Run single = run({QStringLiteral("analyze"), files[i], QStringLiteral("--json")});
            if (single.exitCode != 0) {
                QVERIFY(!row.last().isEmpty());
                QVERIFY(std::all_of(row.cbegin() + 1, row.cend() - 1, [](const QString &field) { return field.isEmpty(); }));
                continue;
            }
            QVERIFY(row.last().isEmpty());
            const QJsonObject object = json(single);
            QCOMPARE(header.size() - 1, object.size()); // the error column aside, the same names
            for (qsizetype column = 1; column < header.size() - 1; ++column) {
                const QJsonValue expected = object.value(header[column]);
                if (expected.isString()) {
                    QCOMPARE(row[column], expected.toString());
                    continue;
                }
                bool isNumber = false;
                const double value = row[column].toDouble(&isNumber);
                QVERIFY2(isNumber, qPrintable(row[column]));
                QVERIFY2(std::fabs(value - expected.toDouble()) <= 1e-13 * std::fabs(expected.toDouble()),
                         qPrintable(header[column]));
            }
        }
        // The ramp 0..7 on 3 bits: the sample standard deviation in ppm of 2^3 codes.
        const QStringList &ramp = rows[2];
        double squares = 0;
        for (int code = 0; code < 8; ++code)
            squares += (code - 3.5) * (code - 3.5);
        QCOMPARE(ramp[header.indexOf(QLatin1String("std_deviation_ppm"))].toDouble(), std::sqrt(squares / 7) / 8 * 1e6);
        QCOMPARE(ramp[header.indexOf(QLatin1String("mean"))], QStringLiteral("3.5"));

        // Nothing analysed: the header has no figure columns.
        const Run none = run({QStringLiteral("analyze"), path("missing.csv"), QStringLiteral("--table")});
        QCOMPARE(none.exitCode, 1);
        QCOMPARE(csvRecords(QString::fromUtf8(none.out)).first(),
                 (QStringList{QStringLiteral("file"), QStringLiteral("device"), QStringLiteral("samples"),
                              QStringLiteral("view"), QStringLiteral("error")}));
    }

    void batchTextIsTheSingleReportsInTurn()
    {
        const Run batch = run({QStringLiteral("analyze"), path("missing.csv"), path("ramp.csv"), path("tone.csv"),
                               QStringLiteral("--view=histogram")});
        QCOMPARE(batch.exitCode, 1);
        QCOMPARE(batch.out, run({QStringLiteral("analyze"), path("ramp.csv"), QStringLiteral("--view=histogram")}).out + '\n'
                                + run({QStringLiteral("analyze"), path("tone.csv"), QStringLiteral("--view=histogram")}).out);
    }
};

QTEST_MAIN(tst_cli_batch)
#include "tst_cli_batch.moc"
