// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileWriter.h"
#include "frmPlot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <numbers>

// Runs "kz7305evm-cli plot" and compares its pictures with the plot window's.
class tst_cli_plot : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_data;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    static std::pair<int, QByteArray> run(const QStringList &arguments)
    {
        QProcess process;
        process.start(QStringLiteral(KZ_CLI_PATH), QStringList{QStringLiteral("plot")} + arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return {-1, {}};
        return {process.exitCode(), process.readAllStandardError()};
    }

    static std::vector<std::int32_t> samples()
    {
        std::vector<std::int32_t> codes(2048);
        for (std::size_t i = 0; i < codes.size(); ++i)
            codes[i] = static_cast<std::int32_t>(std::lround(3000000 * std::sin(2 * std::numbers::pi * 37 * double(i) / 2048) +
                                                              20000 * std::sin(2 * std::numbers::pi * 74 * double(i) / 2048))) +
                       static_cast<std::int32_t>(i % 7) * 40;
        return codes;
    }

private slots:
    void initTestCase()
    {
        const auto codes = samples();
        const DataFileHeader header{QStringLiteral("KZ7305"), QDateTime::currentDateTime(), 24, 2.98023223876953e-07,
                                    static_cast<std::int32_t>(codes.size()), 10000};
        m_data = path("block.csv");
        QString error;
        QVERIFY2(DataFileWriter::save(m_data, DataFileWriter::timeDomain(header, TimeStatistics{}, codes), &error),
                 qPrintable(error));
    }

    // The same graph as the window draws with the same options, pixel for pixel.
    void pictureEqualsTheWindowsExport_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("unit"); // the Y axis choice of the FFT
        QTest::newRow("time") << QStringList{} << int(frmPlot::TimeDomain) << 0;
        const QStringList fft{QStringLiteral("--view"), QStringLiteral("fft"), QStringLiteral("--window"), QStringLiteral("hann"),
                              QStringLiteral("--marks"), QStringLiteral("main,harmonics"), QStringLiteral("--bins"),
                              QStringLiteral("5")};
        QTest::newRow("fft") << fft << int(frmPlot::FFTPlot) << 0;
        QTest::newRow("fft in dBFS/Hz") << fft + QStringList{QStringLiteral("--units=dbfs-hz")} << int(frmPlot::FFTPlot) << 2;
        QTest::newRow("histogram") << QStringList{QStringLiteral("--view=histogram")} << int(frmPlot::Histogram) << 0;
    }

    void pictureEqualsTheWindowsExport()
    {
        QFETCH(QStringList, options);
        QFETCH(int, view);
        QFETCH(int, unit);
        const QString fromCli = path("cli.png");
        const auto [code, err] = run(QStringList{m_data} + options + QStringList{QStringLiteral("-o"), fromCli,
                                                                               QStringLiteral("--size"), QStringLiteral("900x600")});
        QCOMPARE(code, 0);
        const QImage picture(fromCli);
        QCOMPARE(picture.size(), QSize(900, 600));

        frmPlot window;
        const auto codes = samples();
        window.setDeviceID(QStringLiteral("KZ7305"));
        window.setNumBits(24);
        window.setLSBSize(2.98023223876953e-07);
        window.setnumPoints(static_cast<std::int32_t>(codes.size()));
        window.setSampleFreq(10000);
        window.LoadData(codes);
        if (view == frmPlot::FFTPlot) {
            window.optWindow(2)->setChecked(true);
            window.txtNumBins()->setText(QStringLiteral("5"));
            window.cbMainLobe()->setChecked(true);
            window.cbHarmonics()->setChecked(true);
            window.cboYAxis()->setCurrentIndex(unit);
        }
        window.showView(static_cast<frmPlot::View>(view));
        const QString fromWindow = path("window.png");
        QString error;
        QVERIFY(window.exportGraph(fromWindow, QSize(900, 600), &error));
        QVERIFY(picture == QImage(fromWindow));
    }

    void vectorFormats()
    {
        for (const char *name : {"graph.svg", "graph.pdf"}) {
            const auto [code, err] = run({m_data, QStringLiteral("--view"), QStringLiteral("fft"), QStringLiteral("--marks"),
                                          QStringLiteral("all"), QStringLiteral("--output"), path(name)});
            QCOMPARE(code, 0);
            QFile file(path(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray content = file.readAll();
            QVERIFY(content.startsWith(QByteArray(name[6] == 's' ? "<?xml" : "%PDF")));
        }
    }

    void problems_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString out = QStringLiteral("-o");
        QTest::newRow("no output") << QStringList{QStringLiteral("FILE")} << 2 << "no output file";
        QTest::newRow("list view") << QStringList{QStringLiteral("FILE"), QStringLiteral("--view"), QStringLiteral("list"), out,
                                                  QStringLiteral("a.png")} << 2 << "data list has no graph";
        QTest::newRow("bad size") << QStringList{QStringLiteral("FILE"), out, QStringLiteral("a.png"), QStringLiteral("--size"),
                                                 QStringLiteral("12x")} << 2 << "--size takes";
        QTest::newRow("bad mark") << QStringList{QStringLiteral("FILE"), out, QStringLiteral("a.png"), QStringLiteral("--marks"),
                                                 QStringLiteral("dc,spurs")} << 2 << "unknown mark";
        QTest::newRow("bad unit") << QStringList{QStringLiteral("FILE"), out, QStringLiteral("a.png"), QStringLiteral("--units"),
                                                 QStringLiteral("dBV")} << 2 << "unknown unit \"dBV\" (db|dbfs|dbfs-hz|nv-rthz)";
        QTest::newRow("analyze-only option") << QStringList{QStringLiteral("FILE"), out, QStringLiteral("a.png"),
                                                            QStringLiteral("--json")} << 2 << "unknown option --json";
        QTest::newRow("bad extension") << QStringList{QStringLiteral("FILE"), out, QStringLiteral("OUT.bmp")} << 1
                                       << "must end in .png, .svg or .pdf";
        QTest::newRow("missing file") << QStringList{QStringLiteral("MISSING"), out, QStringLiteral("OUT.png")} << 1 << "";
    }

    void problems()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        arguments.replaceInStrings(QStringLiteral("FILE"), m_data);
        arguments.replaceInStrings(QStringLiteral("MISSING"), path("missing.csv"));
        arguments.replaceInStrings(QStringLiteral("OUT"), path("out"));
        const auto [code, err] = run(arguments);
        QCOMPARE(code, exitCode);
        QVERIFY2(err.startsWith("kz7305evm-cli plot: "), err.constData());
        QVERIFY2(err.contains(message.toUtf8()), err.constData());
        QVERIFY(!QFile::exists(path("out.bmp")) && !QFile::exists(path("out.png")));
    }
};

QTEST_MAIN(tst_cli_plot)
#include "tst_cli_plot.moc"
