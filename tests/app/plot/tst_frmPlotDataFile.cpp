// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFileWriter.h"
#include "FileDialogs.h"
#include "UserMessage.h"
#include "Plot.h"
#include "frmPlot.h"

#include <QListView>
#include <QRadioButton>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

// Drives SaveData and OpenFile with the dialogs and message boxes answered by
// the test.
class tst_frmPlotDataFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QStringList m_messages;
    QStringList m_cautions;
    bool m_confirmAnswer = true;
    QList<QPair<FileDialogs::Mode, QString>> m_dialogs;
    QString m_dialogAnswer;

    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

    static QByteArray readFile(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void writeFile(const QString &file, const QByteArray &content)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    // A window holding a known block, as after an acquisition.
    static void fill(frmPlot &plot)
    {
        const std::vector<std::int32_t> samples{100, -200, 300, -400, 500, -600, 700, 8388607};
        plot.setDeviceID(QStringLiteral("KZ7305 bench"));
        plot.setLSBSize(5.0 / 16777216.0);
        plot.setNumBits(24);
        plot.setnumPoints(static_cast<std::int32_t>(samples.size()));
        plot.setSampleFreq(977.5);
        plot.LoadData(samples);
        plot.UpdatePlot();
    }

    // Everything a time-domain save shows of the window but the creation time,
    // plus what the window shows.
    QByteArray snapshot(frmPlot &plot)
    {
        const QString saved = path("snapshot.csv");
        const QString answer = m_dialogAnswer;
        const std::int16_t view = plot.currentView();
        m_dialogAnswer = saved;
        m_confirmAnswer = true;
        plot.SaveData();
        m_dialogAnswer = answer;
        QList<QByteArray> lines = readFile(saved).split('\n');
        lines.removeAt(1);
        return lines.join('\n') + "|view " + QByteArray::number(view) + "|" + plot.windowTitle().toUtf8() + "|"
            + plot.statusText(2).toUtf8();
    }

private slots:
    void init()
    {
        m_messages.clear();
        m_cautions.clear();
        m_dialogs.clear();
        m_confirmAnswer = true;
        UserMessage::setHandler([this](const QString &text) { m_messages << text; });
        UserMessage::setConfirmHandler([this](const QString &text) {
            m_cautions << text;
            return m_confirmAnswer;
        });
        FileDialogs::setHandler([this](FileDialogs::Mode mode, const QString &title) {
            m_dialogs.append({mode, title});
            return m_dialogAnswer;
        });
    }

    void cleanup()
    {
        UserMessage::setHandler({});
        UserMessage::setConfirmHandler({});
        FileDialogs::setHandler({});
    }

    void timeDomainSaveAndOpenRoundTrip()
    {
        frmPlot source;
        fill(source);
        m_dialogAnswer = path("round.csv");
        source.SaveData();
        QCOMPARE(m_cautions, QStringList());
        QCOMPARE(m_dialogs.size(), 1);
        QCOMPARE(m_dialogs[0].first, FileDialogs::Mode::Save);
        QCOMPARE(m_dialogs[0].second, QStringLiteral("Save Time Domain Data"));
        const QByteArray content = readFile(m_dialogAnswer);
        QVERIFY(content.startsWith("KZ7305 bench\r\nCreated: "));
        QVERIFY(content.contains("\r\nSample Points:, 8 \r\nSample Frequency:, 977.5 \r\nTime Domain Data\r\n"));
        QVERIFY(content.endsWith("\r\nSample Points:\r\n100\r\n-200\r\n300\r\n-400\r\n500\r\n-600\r\n700\r\n8388607\r\n"));

        frmPlot loaded;
        loaded.document().setDataReady(false);
        m_dialogs.clear();
        loaded.OpenFile();
        QCOMPARE(m_dialogs.size(), 1);
        QCOMPARE(m_dialogs[0].first, FileDialogs::Mode::Open);
        QCOMPARE(m_dialogs[0].second, QStringLiteral("Open Data File"));
        QCOMPARE(m_messages, QStringList());
        QVERIFY(loaded.document().DataReady());
        QCOMPARE(loaded.DeviceID(), source.DeviceID());
        QCOMPARE(loaded.NumBits(), std::int16_t(24));
        QCOMPARE(loaded.LSBSize(), source.LSBSize());
        QCOMPARE(loaded.numPoints(), 8);
        QCOMPARE(loaded.currentView(), std::int16_t(frmPlot::TimeDomain));
        QCOMPARE(loaded.windowTitle(), QStringLiteral("KZ7305 bench: Time Domain - round.csv")); // the file it came from
        // The statistics were computed afresh from the loaded codes.
        QCOMPARE(loaded.Mean(), source.Mean());
        QCOMPARE(loaded.Maximum(), 8388607.0);
        // Saved again, only the sample frequency differs: it came back rounded;
        // and the title names the file.
        QByteArray expected = snapshot(source);
        expected.replace("977.5", "978").replace("Time Domain|", "Time Domain - round.csv|");
        QCOMPARE(snapshot(loaded), expected);
    }

    void cancelledDialogsChangeNothing()
    {
        frmPlot plot;
        fill(plot);
        const QByteArray before = snapshot(plot);
        m_dialogAnswer.clear();
        m_dialogs.clear();
        plot.SaveData();
        plot.OpenFile();
        QCOMPARE(m_dialogs.size(), 2);
        QCOMPARE(m_messages, QStringList());
        QCOMPARE(snapshot(plot), before);
    }

    void refusedFilesLeaveTheWindowExactlyAsItWas_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const DataFileHeader header{QStringLiteral("Other device"), QDateTime::currentDateTime(), 16, 1e-3, 2, 50};
        const std::vector<std::int32_t> codes{1, 2};
        const std::vector<double> levels{-1, -2};
        QTest::newRow("fft") << DataFileWriter::fft(header, {}, levels)
                             << QStringLiteral("FFT data files cannont be loaded - select a time domain file.");
        Histogram histogram;
        histogram.compute(codes);
        QTest::newRow("histogram") << DataFileWriter::histogram(header, histogram)
                                   << QStringLiteral("Histogram data files cannot be loaded - select a time domain file.");
        QTest::newRow("list") << DataFileWriter::dataList(header, DataFormat::Integer, codes)
                              << QStringLiteral("Data list files cannot be loaded - select a time domain file.");
        QByteArray broken = DataFileWriter::timeDomain(header, {}, codes);
        // Messages name the file with its folder.
        const QString cannotLoad = QStringLiteral("Cannot load \"%1\": ").arg(QDir::toNativeSeparators(path("in.csv")));
        QTest::newRow("value not a number") << QByteArray(broken + "x1\r\n")
                                            << cannotLoad + QStringLiteral("line 15 is not a 32-bit code.");
        QTest::newRow("bits out of range") << QByteArray(broken).replace("Bits:,16", "Bits:,33")
                                           << cannotLoad + QStringLiteral("line 3 holds no number of bits from 1 to 32.");
        QTest::newRow("empty") << QByteArray() << cannotLoad + QStringLiteral("the file is empty.");
        QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                   << cannotLoad + QStringLiteral("This file is not a KZ7305EVM data file: its header "
                                                                  "has no Number of Bits line.");
        QTest::newRow("no marker") << QByteArray(broken).replace("\r\nSample Points:\r\n", "\r\nSample Points: \r\n")
                                   << QString();
    }

    void refusedFilesLeaveTheWindowExactlyAsItWas()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        frmPlot plot;
        fill(plot);
        const QByteArray before = snapshot(plot);
        writeFile(path("in.csv"), content);
        m_dialogAnswer = path("in.csv");
        int progressEvents = 0;
        connect(&plot, &frmPlot::CalcStatus, this, [&] { ++progressEvents; });
        plot.OpenFile();
        QCOMPARE(m_messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(progressEvents, 0);
        QCOMPARE(snapshot(plot), before);
    }

    void otherViewsCautionFirstAndNameTheirDialog_data()
    {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("caution");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("blockLine");
        QTest::addColumn<int>("valueLines");
        QTest::newRow("fft") << int(frmPlot::FFTPlot)
                             << QStringLiteral("Caution: This program cannot open FFT data files - remember to save time domain data.")
                             << QStringLiteral("Save FFT Data") << QByteArray("\r\nFFT Plot Data\r\nSNR:,") << 8;
        // Codes -600 .. 8388607: bins of 8389207 / 65536 codes, the maximum in
        // the entry beyond the last bin.
        QTest::newRow("histogram") << int(frmPlot::Histogram)
                                   << QStringLiteral("Caution: This program cannot open histogram data files - remember to save time domain data.")
                                   << QStringLiteral("Save Histogram Data")
                                   << QByteArray("\r\nHistogram Data\r\nBin Size:, 128.009140014648 \r\n"
                                                 "First Bin Code:,-600 \r\nHistogram Points:\r\n")
                                   << 65537;
        QTest::newRow("list") << int(frmPlot::DataList)
                              << QStringLiteral("Caution: This program cannot open data list files - remember to save time domain data.")
                              << QStringLiteral("Save Time Domain Data")
                              << QByteArray("\r\nData List\r\nData Format:, Integer\r\nData Points:\r\n100\r\n") << 8;
    }

    void otherViewsCautionFirstAndNameTheirDialog()
    {
        QFETCH(int, view);
        QFETCH(QString, caution);
        QFETCH(QString, title);
        QFETCH(QByteArray, blockLine);
        QFETCH(int, valueLines);
        frmPlot plot;
        fill(plot);
        plot.showView(static_cast<frmPlot::View>(view));
        m_dialogAnswer = path("kind.csv");
        QFile::remove(m_dialogAnswer);

        m_confirmAnswer = false;
        plot.SaveData();
        QCOMPARE(m_cautions, QStringList{caution});
        QVERIFY(m_dialogs.isEmpty());
        QVERIFY(!QFile::exists(m_dialogAnswer));

        m_confirmAnswer = true;
        plot.SaveData();
        QCOMPARE(m_dialogs.size(), 1);
        QCOMPARE(m_dialogs[0].second, title);
        const QByteArray content = readFile(m_dialogAnswer);
        QVERIFY2(content.contains(blockLine), content.left(400).constData());
        QCOMPARE(content.mid(content.indexOf("Points:\r\n")).count("\r\n"), valueLines + 1);
    }

    void dataListFileHoldsEveryValueOfALongBlock()
    {
        frmPlot plot;
        std::vector<std::int32_t> samples(40000);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int32_t>(i) - 20000;
        plot.setNumBits(24);
        plot.setnumPoints(40000);
        plot.LoadData(samples);
        plot.optDataFormat(1)->setChecked(true);
        plot.showView(frmPlot::DataList);
        m_dialogAnswer = path("list.csv");
        plot.SaveData();
        const QList<QByteArray> lines = readFile(m_dialogAnswer).split('\n');
        QCOMPARE(lines.at(7), QByteArray("Data Format:, Hexidecimal\r"));
        QCOMPARE(lines.size(), 9 + 40000 + 1);
        QCOMPARE(lines.at(9), QByteArray("FFB1E0\r"));
        QCOMPARE(lines.at(9 + 39999), QByteArray("4E1F\r"));
    }

    void loadingShowsTheTimeDomainFromAnyView()
    {
        frmPlot source;
        fill(source);
        m_dialogAnswer = path("view.csv");
        source.SaveData();
        frmPlot plot;
        fill(plot);
        plot.showView(frmPlot::DataList);
        plot.OpenFile();
        QCOMPARE(plot.currentView(), std::int16_t(frmPlot::TimeDomain));
        QVERIFY(plot.plot()->isVisibleTo(&plot));
        QVERIFY(!plot.lstDataList()->isVisibleTo(&plot));
        QVERIFY(plot.statusText(1).startsWith(QLatin1String("Std Dev (ppm): ")));
    }

    // Open takes the name as typed; ".csv" is added only for a name without
    // extension that does not exist as typed.
    void openTakesTheNameAsTyped()
    {
        frmPlot source;
        fill(source);
        QStringList done;
        connect(&source, &frmPlot::commandDone, this, [&done](const QString &text) { done << text; });
        for (const char *name : {"bare", "withcsv.csv"}) {
            m_dialogAnswer = path(name);
            source.SaveData();
        }
        QCOMPARE(done.size(), 2); // each save is confirmed, without a message box
        QVERIFY(done[0].contains(path("bare")));
        QCOMPARE(m_messages, QStringList());

        for (const char *typed : {"bare", "withcsv"}) {
            frmPlot loaded;
            m_dialogAnswer = path(typed);
            loaded.OpenFile();
            QCOMPARE(m_messages, QStringList());
            QCOMPARE(loaded.numPoints(), 8);
        }
    }

    void printingLeavesTheScreenSubtitle()
    {
        frmPlot plot;
        fill(plot);
        const QString before = plot.plot()->subTitle();
        QString error;
        QVERIFY(plot.exportGraph(path("graph.png"), QSize(400, 300), &error));
        QCOMPARE(plot.plot()->subTitle(), before);
    }

    void failedSaveIsReported()
    {
        frmPlot plot;
        fill(plot);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("dir.csv")));
        m_dialogAnswer = path("dir.csv");
        plot.SaveData();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].startsWith(QLatin1String("Cannot save \"") + path("dir.csv")));
    }
};

QTEST_MAIN(tst_frmPlotDataFile)
#include "tst_frmPlotDataFile.moc"
