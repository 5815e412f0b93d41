// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliFixture.h"
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
class tst_cli : public QObject, protected CliFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { writeCommonFiles(); }

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
};

QTEST_MAIN(tst_cli)
#include "tst_cli.moc"
