// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliRun.h"
#include "DataFileWriter.h"
#include "FigureCatalogue.h"
#include "FileDialogs.h"
#include "UserMessage.h"
#include "ViewTraits.h"
#include "frmPlot.h"

#include <QJsonDocument>
#include <QLineEdit>
#include <QRadioButton>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

// Runs the real kz7305evm-cli and checks its output, exit codes and files.
class tst_cli : public QObject
{
    Q_OBJECT

private:
    using Run = CliRun;

    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    static Run run(const QStringList &arguments) { return runCli(arguments); }

    static QJsonObject json(const Run &result)
    {
        return QJsonDocument::fromJson(result.out).object();
    }

    // The records of RFC 4180 text: CR LF line ends, quoted fields with
    // doubled quotes. A last line without CR LF is not a record.
    static QList<QStringList> csvRecords(const QString &text)
    {
        QList<QStringList> records;
        QStringList record;
        QString field;
        bool quoted = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (quoted && c == QLatin1Char('"') && text.mid(i, 2) == QLatin1String("\"\"")) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = !quoted;
            } else if (!quoted && c == QLatin1Char(',')) {
                record << std::exchange(field, QString());
            } else if (!quoted && text.mid(i, 2) == QLatin1String("\r\n")) {
                record << std::exchange(field, QString());
                records << std::exchange(record, QStringList());
                ++i;
            } else {
                field += c;
            }
        }
        return records;
    }

    void writeTimeFile(const char *name, const std::vector<std::int32_t> &samples, int numBits = 24,
                       double sampleFreq = 48000)
    {
        const DataFileHeader header{QStringLiteral("Scripted"), QDateTime::currentDateTime(), numBits,
                                    5.0 / 16777216.0, static_cast<std::int32_t>(samples.size()), sampleFreq};
        QVERIFY(DataFileWriter::save(path(name), DataFileWriter::timeDomain(header, {}, samples), nullptr));
    }

    // 4096 samples: a tone on bin 67 with a second harmonic 46 dB down.
    static std::vector<std::int32_t> tone()
    {
        std::vector<std::int32_t> samples(4096);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double t = 2 * M_PI * static_cast<double>(i) / 4096.0;
            samples[i] = static_cast<std::int32_t>(std::lround(4000000 * std::sin(67 * t) + 20000 * std::sin(134 * t)
                                                               + 50 * std::sin(static_cast<double>(i) * 1.37)));
        }
        return samples;
    }

private slots:
    void initTestCase()
    {
        writeTimeFile("ramp.csv", {0, 1, 2, 3, 4, 5, 6, 7}, 3);
        writeTimeFile("tone.csv", tone());
        // A name a CSV field must quote, and a file that is no data file.
        writeTimeFile("tone, \"copy\".csv", tone());
        QFile notes(path("notes.csv"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("Nothing measured today\r\n");
    }

    void timeViewPrintsStatisticsAndNoise()
    {
        const Run result = run({QStringLiteral("analyze"), path("ramp.csv")});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QByteArray());
        QVERIFY(result.out.startsWith("File: " + path("ramp.csv").toUtf8()
                                      + "\nDevice: Scripted\nSamples: 8\nView: time\n"
                                        "Std Dev (ppm): 306186.217847897\nMean: 3.5\nMaximum: 7\nMinimum: 0\n"
                                        "RMS Noise (codes): 2.44948974278318\n"));

        // 0 .. 7 with 3 bits: sigma = sqrt(42 / 7), p-p 7, mean 3.5.
        const QJsonObject o = json(run({QStringLiteral("analyze"), path("ramp.csv"), QStringLiteral("--json")}));
        const double uv = 5.0 / 16777216.0 * 1e6;
        const double sigma = std::sqrt(6.0);
        const std::pair<const char *, double> expected[] = {
            {"rms_noise_codes", sigma},
            {"rms_noise_uv", sigma * uv},
            {"pp_noise_codes", 7},
            {"pp_noise_uv", 7 * uv},
            {"offset_uv", 3.5 * uv},
            {"effective_resolution_bits", std::log2(8 / sigma)},
            {"noise_free_resolution_bits", std::log2(8 / (6.6 * sigma))},
            {"noise_free_resolution_measured_bits", std::log2(8.0 / 7)}};
        for (const auto &[key, value] : expected)
            QVERIFY2(std::fabs(o.value(QLatin1String(key)).toDouble() - value) < 1e-12, key);

        // A constant block: no noise, and no resolution (null, "-").
        writeTimeFile("constant.csv", std::vector<std::int32_t>(64, 1000));
        const QJsonObject constant = json(run({QStringLiteral("analyze"), path("constant.csv"), QStringLiteral("--json")}));
        QCOMPARE(constant.value(QLatin1String("rms_noise_uv")).toDouble(-1), 0.0);
        QVERIFY(constant.value(QLatin1String("effective_resolution_bits")).isNull());
        QVERIFY(constant.value(QLatin1String("noise_free_resolution_measured_bits")).isNull());
        QVERIFY(run({QStringLiteral("analyze"), path("constant.csv")}).out.contains("Effective Resolution (bits): -\n"));
        const QJsonObject flat = json(run({QStringLiteral("analyze"), path("constant.csv"), QStringLiteral("--view"),
                                           QStringLiteral("fft"), QStringLiteral("--json")}));
        QCOMPARE(flat.value(QLatin1String("tone_found")), QJsonValue(false));
        QVERIFY(flat.value(QLatin1String("enob")).isNull() && flat.value(QLatin1String("fundamental_dbfs")).isNull());
    }

    void jsonOfEveryView()
    {
        Run result = run({QStringLiteral("analyze"), path("tone.csv"), QStringLiteral("--view"), QStringLiteral("fft"),
                          QStringLiteral("--json")});
        QCOMPARE(result.exitCode, 0);
        QJsonObject object = json(result);
        QCOMPARE(object.value(QLatin1String("view")).toString(), QStringLiteral("fft"));
        QCOMPARE(object.value(QLatin1String("samples")).toInt(), 4096);
        QCOMPARE(object.value(QLatin1String("fft_length")).toInt(), 4096);
        QCOMPARE(object.value(QLatin1String("fundamental_bin")).toInt(), 67);
        QCOMPARE(object.value(QLatin1String("fundamental_frequency")).toDouble(), 67 * 48000.0 / 4096);
        // The harmonic is 46 dB below the tone.
        QVERIFY(std::fabs(object.value(QLatin1String("thd")).toDouble() + 46.02) < 0.05);
        QVERIFY(std::fabs(object.value(QLatin1String("sfdr")).toDouble() - 46.02) < 0.05);
        QVERIFY(object.value(QLatin1String("snr")).toDouble() > 80);
        QVERIFY(object.contains(QLatin1String("sinad")));
        // The tone: 4000000 codes of a 24-bit full scale 2^23, on its bin.
        QCOMPARE(object.value(QLatin1String("tone_found")), QJsonValue(true));
        QVERIFY(std::fabs(object.value(QLatin1String("fundamental_dbfs")).toDouble() -
                          20 * std::log10(4000000 / 8388608.0)) < 0.05);
        QVERIFY(std::fabs(object.value(QLatin1String("enob")).toDouble() -
                          (object.value(QLatin1String("sinad")).toDouble() - 1.76) / 6.02) < 1e-12);

        result = run({QStringLiteral("analyze"), path("ramp.csv"), QStringLiteral("--view=histogram"), QStringLiteral("--json")});
        object = json(result);
        QCOMPARE(object.value(QLatin1String("bin_width")).toDouble(), 1.0);
        QCOMPARE(object.value(QLatin1String("minimum")).toDouble(), 0.0);
        QCOMPARE(object.value(QLatin1String("maximum")).toDouble(), 7.0);

        result = run({QStringLiteral("analyze"), path("tone.csv"), QStringLiteral("--view"), QStringLiteral("list"), QStringLiteral("--json")});
        QCOMPARE(json(result).value(QLatin1String("lines")).toInt(), 4096);
    }

    // The seven-term window means Auto unless --bins says otherwise; the
    // sine fit finds the tone's frequency; noise alone keeps its numbers in
    // JSON but has no sine fit.
    void autoBinsSineFitAndNoiseDensity()
    {
        const QStringList fft{QStringLiteral("--view=fft"), QStringLiteral("--json")};
        auto analyse = [&](const QString &file, const QStringList &options) {
            return json(run(QStringList{QStringLiteral("analyze"), file} + fft + options));
        };
        QJsonObject object = analyse(path("tone.csv"), {QStringLiteral("--window=blackman-harris-7")});
        QCOMPARE(object.value(QLatin1String("signal_bins")).toInt(), 17);
        // 67 cycles in 4096 samples at 48 kHz.
        const double frequency = object.value(QLatin1String("sinefit_frequency_hz")).toDouble();
        QVERIFY2(std::fabs(frequency / (67 * 48000.0 / 4096) - 1) < 1e-6, qPrintable(QString::number(frequency, 'g', 15)));
        QVERIFY(std::fabs(object.value(QLatin1String("sinefit_amplitude_dbfs")).toDouble()
                          - 20 * std::log10(4e6 / 8388608)) < 0.001);
        for (const char *key : {"sinefit_sinad_db", "sinefit_enob", "sinefit_residual_rms_uv", "noise_density_dbfs_per_hz",
                                "noise_density_nv_per_rthz"})
            QVERIFY2(object.value(QLatin1String(key)).isDouble(), key);
        QCOMPARE(analyse(path("tone.csv"), {QStringLiteral("--window=hann"), QStringLiteral("--bins=auto")})
                     .value(QLatin1String("signal_bins")).toInt(), 7);
        QCOMPARE(analyse(path("tone.csv"), {QStringLiteral("--window=7"), QStringLiteral("--bins=5")})
                     .value(QLatin1String("signal_bins")).toInt(), 5);

        std::minstd_rand random(11);
        std::vector<std::int32_t> noise(4096);
        for (std::int32_t &code : noise)
            code = static_cast<std::int32_t>(random() % 13U); // spread without a tone
        writeTimeFile("noise.csv", noise);
        object = analyse(path("noise.csv"), {QStringLiteral("--window=blackman-harris-7")});
        QVERIFY(!object.value(QLatin1String("tone_found")).toBool());
        QVERIFY(object.value(QLatin1String("sinefit_frequency_hz")).isNull());
        QVERIFY(object.value(QLatin1String("noise_density_nv_per_rthz")).isDouble());
        QVERIFY(object.value(QLatin1String("fundamental_bin")).isDouble());
    }

    // A full-scale tone between bins: the frequency a generator would need to
    // sample it coherently.
    void coherentFrequencyAndLeakageAdvice()
    {
        constexpr int Length = 4096;
        constexpr double Rate = 48000;
        constexpr double Cycles = 196.6;
        std::vector<std::int32_t> samples(Length);
        std::mt19937 random(3);
        std::normal_distribution<double> noise(0, 1.5);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int32_t>(std::lround(
                8388000 * std::sin(2 * M_PI * Cycles * static_cast<double>(i) / Length + 0.3) + noise(random)));
        writeTimeFile("between.csv", samples, 24, Rate);
        const auto analyse = [&](const char *window, const QStringList &more = {}) {
            return json(run(QStringList{QStringLiteral("analyze"), path("between.csv"), QStringLiteral("--view=fft"),
                                        QStringLiteral("--json"), QStringLiteral("--window=") + QLatin1String(window)}
                            + more));
        };
        const QJsonObject rectangular = analyse("rectangular");

        // The nearest odd cycle count coprime with the length, by trying every one.
        int best = 0;
        for (int m = 1; 2 * m < Length; m += 2)
            if (std::gcd(m, Length) == 1 && (best == 0 || std::fabs(m - Cycles) < std::fabs(best - Cycles)))
                best = m;
        QCOMPARE(rectangular.value(QLatin1String("coherent_frequency_hz")).toDouble(), best * Rate / Length);

        // Rectangular leaks the tone into every bin; the seven-term window
        // with its own bins does not.
        QCOMPARE(rectangular.value(QLatin1String("limited_by")).toString(), QStringLiteral("leakage"));
        // Three signal bins leave so much leakage outside that SNR falls below
        // the tone threshold: the peak still counts as the tone it is.
        const QJsonObject narrow = analyse("rectangular", {QStringLiteral("--bins=3")});
        QVERIFY2(narrow.value(QLatin1String("snr")).toDouble() < 10, qPrintable(QString::number(narrow.value(QLatin1String("snr")).toDouble())));
        QVERIFY(narrow.value(QLatin1String("tone_found")).toBool());
        QCOMPARE(narrow.value(QLatin1String("limited_by")).toString(), QStringLiteral("leakage"));
        const QJsonValue sevenTerm = analyse("blackman-harris-7").value(QLatin1String("limited_by"));
        QVERIFY2(sevenTerm.isNull(), qPrintable(sevenTerm.toString()));
    }

    // Each view's figures, a tone's and noise's alike, are listed once each in
    // JSON, text and table, in the same order, and nothing else is.
    void everyFigureOnceInEachOutput()
    {
        std::vector<std::int32_t> shorted(4096);
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0, 30);
        for (std::int32_t &code : shorted)
            code = static_cast<std::int32_t>(std::lround(noise(random)));
        writeTimeFile("shorted.csv", shorted);
        for (const char *file : {"tone.csv", "shorted.csv"}) {
            for (const ViewTraits &view : ViewTraits::all()) {
                const QStringList analyze{QStringLiteral("analyze"), path(file),
                                          QStringLiteral("--view=") + QLatin1String(view.name)};
                QStringList keys, labels;
                for (const FigureCatalogue::Entry &entry : FigureCatalogue::entries())
                    if (view.figures.testFlag(entry.section))
                        keys << QLatin1String(entry.key), labels << QLatin1String(entry.text);
                const QByteArray json = run(analyze + QStringList{QStringLiteral("--json")}).out;
                QCOMPARE(QJsonDocument::fromJson(json).object().size(), 4 + keys.size());
                for (const QString &key : std::as_const(keys))
                    QVERIFY2(json.count(QByteArray("\"") + key.toUtf8() + "\":") == 1, qPrintable(key));

                const QStringList text = QString::fromUtf8(run(analyze).out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                QCOMPARE(text.size(), 4 + labels.size());
                for (qsizetype i = 0; i < labels.size(); ++i)
                    QVERIFY2(text[4 + i].startsWith(labels[i] + QStringLiteral(": ")), qPrintable(text[4 + i]));

                const QStringList header =
                    csvRecords(QString::fromUtf8(run(analyze + QStringList{QStringLiteral("--table")}).out)).first();
                QCOMPARE(header.mid(4, keys.size()), keys);
                QCOMPARE(header.size(), 4 + keys.size() + 1);
            }
        }
    }

    void jsonHasNullForWhatWasNotComputed()
    {
        // Eight samples with eleven-bin lobes: too short for any metric; the
        // text keeps 999999999.
        const QStringList fft{QStringLiteral("--view=fft"), QStringLiteral("--json")};
        QJsonObject object = json(run(QStringList{QStringLiteral("analyze"), path("ramp.csv")} + fft));
        for (const char *key : {"snr", "sinad", "thd", "sfdr", "fundamental_bin", "fundamental_frequency"})
            QVERIFY2(object.value(QLatin1String(key)).isNull(), key);
        QCOMPARE(object.value(QLatin1String("fft_length")).toInt(), 8);
        const QByteArray text = run({QStringLiteral("analyze"), path("ramp.csv"), QStringLiteral("--view=fft")}).out;
        QVERIFY2(text.contains("\nSNR: 999999999\nSINAD: 999999999\nTHD: 999999999\nSFDR: 999999999\n"), text.constData());

        // A block of zeros has no signal power: no fundamental either.
        writeTimeFile("zeros.csv", std::vector<std::int32_t>(64, 0));
        object = json(run(QStringList{QStringLiteral("analyze"), path("zeros.csv")} + fft));
        QVERIFY(object.value(QLatin1String("fundamental_bin")).isNull());
        QVERIFY(object.value(QLatin1String("snr")).isNull());

        // A tone with noise: figures and fundamental are numbers.
        std::vector<std::int32_t> pure(64);
        for (std::size_t i = 0; i < pure.size(); ++i)
            pure[i] = static_cast<std::int32_t>(std::lround(1000 * std::sin(2 * M_PI * 5 * double(i) / 64)
                                                            + 3 * std::sin(double(i) * 1.37)));
        writeTimeFile("pure.csv", pure);
        object = json(run(QStringList{QStringLiteral("analyze"), path("pure.csv"), QStringLiteral("--bins=1"),
                                      QStringLiteral("--harmonics=2")} + fft));
        QCOMPARE(object.value(QLatin1String("fundamental_bin")).toInt(), 5);
        QCOMPARE(object.value(QLatin1String("fundamental_frequency")).toDouble(), 5 * 48000.0 / 64);
        for (const char *key : {"snr", "sinad", "thd", "sfdr"})
            QVERIFY2(object.value(QLatin1String(key)).isDouble(), key);
    }

    void savedHistogramAndFftFilesHoldWhatTheBlockHas()
    {
        // 1000 samples: every one counted in the histogram file, 512 levels in
        // the FFT file (FFT length 512).
        std::vector<std::int32_t> samples(1000);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int32_t>(std::lround(8000000 * std::sin(double(i) * 0.071)));
        writeTimeFile("thousand.csv", samples);
        auto valuesAfterMarker = [this](const char *file, const QByteArray &marker) {
            QList<QByteArray> lines = readFile(path(file)).split('\n');
            lines.removeLast();
            return lines.mid(lines.indexOf(marker + '\r') + 1);
        };
        QCOMPARE(run({QStringLiteral("analyze"), path("thousand.csv"), QStringLiteral("--view"), QStringLiteral("histogram"),
                      QStringLiteral("--save"), path("h.csv")}).exitCode, 0);
        double sum = 0;
        for (const QByteArray &line : valuesAfterMarker("h.csv", "Histogram Points:"))
            sum += line.trimmed().toDouble();
        QCOMPARE(sum, 1000.0);

        QCOMPARE(run({QStringLiteral("analyze"), path("thousand.csv"), QStringLiteral("--view"), QStringLiteral("fft"),
                      QStringLiteral("--save"), path("f.csv")}).exitCode, 0);
        QCOMPARE(valuesAfterMarker("f.csv", "FFT Points:").size(), 512);
    }

    void optionsFollowTheOptionFieldRules()
    {
        const QStringList fft{QStringLiteral("analyze"), path("tone.csv"), QStringLiteral("--view"), QStringLiteral("fft"), QStringLiteral("--json")};
        // An even bin count is raised to the next odd one, as the option field
        // does, and the tool says so.
        const Run even = run(fft + QStringList{QStringLiteral("--bins"), QStringLiteral("10")});
        QCOMPARE(even.out, run(fft + QStringList{QStringLiteral("--bins"), QStringLiteral("11")}).out);
        QCOMPARE(even.err, QByteArray("kz7305evm-cli analyze: --bins 10 is even: 11 bins are used\n"));
        QCOMPARE(run(fft + QStringList{QStringLiteral("--window"), QStringLiteral("hann")}).out,
                 run(fft + QStringList{QStringLiteral("--window"), QStringLiteral("2")}).out);
        QVERIFY(run(fft + QStringList{QStringLiteral("--window"), QStringLiteral("hann")}).out
                != run(fft).out);
    }

    void errorsGiveOneLineAndANonZeroExit_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("mentions");
        const QString tone = path("tone.csv");
        const QString analyze = QStringLiteral("analyze");
        QTest::newRow("no command") << QStringList() << 2 << QStringLiteral("no command");
        QTest::newRow("unknown command") << QStringList{QStringLiteral("draw")} << 2 << QStringLiteral("draw");
        QTest::newRow("no file") << QStringList{analyze} << 2 << QStringLiteral("no file");
        QTest::newRow("missing file") << QStringList{analyze, path("absent.csv")} << 1 << QStringLiteral("absent.csv");
        QTest::newRow("bad view") << QStringList{analyze, tone, QStringLiteral("--view"), QStringLiteral("scope")} << 2 << QStringLiteral("scope");
        QTest::newRow("bad window") << QStringList{analyze, tone, QStringLiteral("--window"), QStringLiteral("8")} << 2 << QStringLiteral("window");
        QTest::newRow("bad bins") << QStringList{analyze, tone, QStringLiteral("--bins"), QStringLiteral("-3")} << 2 << QStringLiteral("--bins");
        QTest::newRow("bad harmonics") << QStringList{analyze, tone, QStringLiteral("--harmonics"), QStringLiteral("2.5")} << 2 << QStringLiteral("--harmonics");
        QTest::newRow("bad format") << QStringList{analyze, tone, QStringLiteral("--format"), QStringLiteral("octal")} << 2 << QStringLiteral("octal");
        QTest::newRow("value missing") << QStringList{analyze, tone, QStringLiteral("--save")} << 2 << QStringLiteral("--save");
        QTest::newRow("unknown option") << QStringList{analyze, tone, QStringLiteral("--fast")} << 2 << QStringLiteral("--fast");
        QTest::newRow("save with two files") << QStringList{analyze, tone, tone, QStringLiteral("--save"), path("two.csv")}
                                             << 2 << QStringLiteral("--save");
        // Out of range is refused with the range, never clamped into it.
        QTest::newRow("bins 0") << QStringList{analyze, tone, QStringLiteral("--bins"), QStringLiteral("0")} << 2 << QStringLiteral("from 1 to 51");
        QTest::newRow("bins 52") << QStringList{analyze, tone, QStringLiteral("--bins=52")} << 2 << QStringLiteral("from 1 to 51");
        QTest::newRow("bins 1000") << QStringList{analyze, tone, QStringLiteral("--bins"), QStringLiteral("1000")} << 2 << QStringLiteral("from 1 to 51");
        QTest::newRow("harmonics 1") << QStringList{analyze, tone, QStringLiteral("--harmonics"), QStringLiteral("1")} << 2 << QStringLiteral("from 2 to 20");
        QTest::newRow("harmonics 21") << QStringList{analyze, tone, QStringLiteral("--harmonics"), QStringLiteral("21")} << 2 << QStringLiteral("from 2 to 20");
        QTest::newRow("json and table") << QStringList{analyze, tone, QStringLiteral("--json"), QStringLiteral("--table")}
                                        << 2 << QStringLiteral("exclude");
    }

    void errorsGiveOneLineAndANonZeroExit()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, mentions);
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(result.err.count('\n'), 1);
        QVERIFY2(QString::fromUtf8(result.err).contains(mentions), result.err.constData());
    }

    void refusedAndBrokenFilesWriteNoOutput()
    {
        const DataFileHeader header{QStringLiteral("x"), QDateTime::currentDateTime(), 24, 1, 2, 1};
        Histogram histogram;
        histogram.compute(std::vector<std::int32_t>{1, 2});
        QVERIFY(DataFileWriter::save(path("hist.csv"), DataFileWriter::histogram(header, histogram), nullptr));
        Run result = run({QStringLiteral("analyze"), path("hist.csv"), QStringLiteral("--save"), path("out1.csv")});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, QByteArray("kz7305evm-cli analyze: Histogram data files cannot be loaded - select a time domain file.\n"));
        QVERIFY(!QFile::exists(path("out1.csv")));

        QFile broken(path("broken.csv"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(readFile(path("ramp.csv")) + "1e400\r\n");
        broken.close();
        result = run({QStringLiteral("analyze"), path("broken.csv"), QStringLiteral("--save"), path("out2.csv")});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains("line 21"), result.err.constData());
        QVERIFY(!QFile::exists(path("out2.csv")));

        result = run({QStringLiteral("analyze"), path("ramp.csv"), QStringLiteral("--save"), path("no/dir/out3.csv")});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QByteArray());
        QVERIFY(result.err.contains("out3.csv"));
    }

    void helpExitsCleanly()
    {
        const Run result = run({QStringLiteral("--help")});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.startsWith("Usage: kz7305evm-cli analyze FILE"));
    }

    // --save writes what the plot window saves for the same block and options.
    void savedFileMatchesThePlotWindow_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("bins");
        QTest::addColumn<QString>("harmonics");
        QTest::addColumn<bool>("normalize");
        QTest::addColumn<int>("format");
        QTest::newRow("time") << QStringList() << int(frmPlot::TimeDomain) << 0 << QStringLiteral("11")
                              << QStringLiteral("10") << false << 0;
        QTest::newRow("fft") << QStringList{QStringLiteral("--view"), QStringLiteral("fft")} << int(frmPlot::FFTPlot)
                             << 0 << QStringLiteral("11") << QStringLiteral("10") << false << 0;
        QTest::newRow("fft options") << QStringList{QStringLiteral("--view=fft"), QStringLiteral("--window=blackman-harris"),
                                                    QStringLiteral("--bins=5"), QStringLiteral("--harmonics=3"),
                                                    QStringLiteral("--normalize")}
                                     << int(frmPlot::FFTPlot) << 4 << QStringLiteral("5") << QStringLiteral("3") << true << 0;
        QTest::newRow("histogram") << QStringList{QStringLiteral("--view"), QStringLiteral("histogram")}
                                   << int(frmPlot::Histogram) << 0 << QStringLiteral("11") << QStringLiteral("10") << false << 0;
        QTest::newRow("list lsb") << QStringList{QStringLiteral("--view"), QStringLiteral("list"), QStringLiteral("--format"),
                                                 QStringLiteral("lsb")}
                                  << int(frmPlot::DataList) << 0 << QStringLiteral("11") << QStringLiteral("10") << false << 3;
    }

    void savedFileMatchesThePlotWindow()
    {
        QFETCH(QStringList, options);
        QFETCH(int, view);
        QFETCH(int, window);
        QFETCH(QString, bins);
        QFETCH(QString, harmonics);
        QFETCH(bool, normalize);
        QFETCH(int, format);
        const QString cliFile = path("cli-out.csv");
        const QString guiFile = path("gui-out.csv");
        const Run result = run(QStringList{QStringLiteral("analyze"), path("tone.csv"), QStringLiteral("--save"), cliFile} + options);
        QCOMPARE(result.exitCode, 0);

        FileDialogs::setHandler([&](FileDialogs::Mode mode, const QString &) {
            return mode == FileDialogs::Mode::Open ? path("tone.csv") : guiFile;
        });
        UserMessage::setHandler([](const QString &text) { QFAIL(qPrintable(text)); });
        UserMessage::setConfirmHandler([](const QString &) { return true; });
        frmPlot plot;
        plot.OpenFile();
        plot.optWindow(window)->setChecked(true);
        plot.txtNumBins()->setText(bins);
        plot.txtNumHarm()->setText(harmonics);
        plot.setNormalizeFFT(normalize);
        plot.optDataFormat(format)->setChecked(true);
        plot.showView(static_cast<frmPlot::View>(view));
        plot.SaveData();
        FileDialogs::setHandler({});
        UserMessage::setHandler({});
        UserMessage::setConfirmHandler({});
        const QByteArray cli = readFile(cliFile);
        QVERIFY(cli.size() > 4096 * 2);
        QCOMPARE(withoutCreatedLine(cli), withoutCreatedLine(readFile(guiFile)));
    }

    // Several files in one run: each gives what a run of its own gives, in the
    // order given; a file that fails is reported in its place and the run ends
    // with exit code 1.
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

QTEST_MAIN(tst_cli)
#include "tst_cli.moc"
