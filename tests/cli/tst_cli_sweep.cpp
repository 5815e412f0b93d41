// SPDX-License-Identifier: GPL-3.0-or-later
// "kz7305evm-cli sweep": a characterisation run of the real program and
// driver plug-in against a board played by this test, which knows only the
// wire format. Each point's figures are checked against figures the test
// computes from the saved blocks itself.
#include "DataFileLoader.h"
#include "HostileBoard.h"

#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <functional>
#include <random>

using Fault = HostileBoard::Fault;

namespace {

// A write of byte 3 to register 15 of page 0xFFFF: the start of a block.
bool isStart(const csr232packet &request)
{
    const QByteArray address = request.addressBytes();
    return request.packetType() == 3 && qFromBigEndian<quint32>(address.constData() + 4) == 15
           && address.mid(2, 2) == QByteArray("\xFF\xFF", 2);
}

// Codes of block number start: noise about an offset, with a tone or without.
void fillBlock(HostileBoard &board, int samples, int start, bool tone)
{
    std::mt19937 random(std::uint32_t(1000 + start));
    std::normal_distribution<double> noise(0.0, 40.0 + 10 * start);
    board.memory.resize(std::size_t(samples));
    for (int i = 0; i < samples; ++i) {
        const double wave = tone ? 3.0e6 * std::sin(2 * M_PI * 53.3 * i / samples) : 0.0;
        board.memory[std::size_t(i)] = std::int32_t(std::lround(1000.0 * start + wave + noise(random)));
    }
}

QList<QJsonObject> jsonLines(const QByteArray &out)
{
    QList<QJsonObject> objects;
    for (const QByteArray &line : out.split('\n'))
        if (!line.isEmpty())
            objects.append(QJsonDocument::fromJson(line).object());
    return objects;
}

// Equal to 12 significant digits: a data file holds the LSB size to 15, so
// the figures in volts of a loaded block may differ in the last digits.
bool near(double a, double b)
{
    return std::abs(a - b) <= 1e-12 * std::max(1.0, std::abs(b));
}

} // namespace

class tst_cli_sweep : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid() && m_home.isValid()); }
    void pointsEqualFiguresOfTheirSavedBlocks();
    void failedPointGoesOnAndGoneBoardEnds();
    void interruptedRunLeavesAValidTable();

private:
    struct Run {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    // Runs the tool while this process plays the board in its event loop;
    // onStarted is given the tool's process id.
    Run run(const QStringList &arguments, const std::function<void(qint64)> &onStarted = {});
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QTemporaryDir m_home;
};

tst_cli_sweep::Run tst_cli_sweep::run(const QStringList &arguments, const std::function<void(qint64)> &onStarted)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
    environment.insert(QStringLiteral("KZ7305EVM_TEST_LINK_TIMING"),
                       QStringLiteral("response=300,stall=200,pause=50,guard=30,guardlimit=200,late=2000"));
    process.setProcessEnvironment(environment);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    process.start(QStringLiteral(KZ_CLI_PATH), arguments);
    if (onStarted && process.waitForStarted())
        onStarted(process.processId());
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
               process.readAllStandardOutput(), process.readAllStandardError()};
}

void tst_cli_sweep::pointsEqualFiguresOfTheirSavedBlocks()
{
    // 2 inputs x 2 averaging settings x 2 rates, 2 blocks after 1 settling
    // block: 24 blocks. The first kept block of each point holds a tone, the
    // second none (its tone figures are null), the last point none at all;
    // the answer to the tenth block read is lost.
    constexpr int Samples = 1024;
    HostileBoard board;
    int starts = 0;
    board.faultFor = [&](const csr232packet &request, int) {
        if (isStart(request)) {
            fillBlock(board, Samples, starts, starts % 3 == 1 && starts < 21);
            ++starts;
        }
        return HostileBoard::isBlockRead(request) && board.blockReads() == 9 ? Fault::Lose : Fault::None;
    };
    const QString folder = path(QStringLiteral("run"));
    const Run result = run({QStringLiteral("sweep"), QStringLiteral("--port"), board.devicePath(),
                            QStringLiteral("--channels"), QStringLiteral("1,3"), QStringLiteral("--averaging"),
                            QStringLiteral("0,4"), QStringLiteral("--rates"), QStringLiteral("1000,20833"),
                            QStringLiteral("--samples"), QString::number(Samples), QStringLiteral("--blocks"),
                            QStringLiteral("2"), QStringLiteral("--settle-blocks"), QStringLiteral("1"),
                            QStringLiteral("--analyze"), QStringLiteral("noise,fft"), QStringLiteral("-o"), folder});
    QVERIFY2(result.exitCode == 0, result.err.constData());
    QCOMPARE(starts, 24);
    QVERIFY(board.blockReads() > 24 * 13); // 13 reads a block, and the lost one asked again
    const QList<QJsonObject> points = jsonLines(result.out);
    QCOMPARE(points.size(), 8);

    QFile recordFile(QDir(folder).filePath(QStringLiteral("run.json")));
    QVERIFY(recordFile.open(QIODevice::ReadOnly));
    const QJsonObject record = QJsonDocument::fromJson(recordFile.readAll()).object();
    QCOMPARE(record.value(QStringLiteral("ending")).toString(), QStringLiteral("completed"));
    QVERIFY(!record.value(QStringLiteral("version")).toString().isEmpty());
    QCOMPARE(record.value(QStringLiteral("plan")).toObject().value(QStringLiteral("fft")).toObject().value(QStringLiteral("bins")).toString(),
             QStringLiteral("auto"));
    const QJsonArray recorded = record.value(QStringLiteral("points")).toArray();
    QCOMPARE(recorded.size(), 8);

    // Every block's figures as analyze gives them, from the saved files.
    QStringList files;
    for (const QJsonValue &point : recorded)
        for (const QJsonValue &file : point.toObject().value(QStringLiteral("files")).toArray())
            files << QDir(folder).filePath(file.toString());
    QCOMPARE(files.size(), 16);
    QHash<QString, QJsonObject> blockFigures;
    for (const QStringList &view : {QStringList{QStringLiteral("--view"), QStringLiteral("time")},
                                    QStringList{QStringLiteral("--view"), QStringLiteral("fft"), QStringLiteral("--window"),
                                                QStringLiteral("blackman-harris-7")}}) {
        const Run analysed = run(QStringList{QStringLiteral("analyze"), QStringLiteral("--json")} + view + files);
        QVERIFY2(analysed.exitCode == 0, analysed.err.constData());
        for (const QJsonObject &figures : jsonLines(analysed.out)) {
            QJsonObject &merged = blockFigures[figures.value(QStringLiteral("file")).toString()];
            for (auto it = figures.begin(); it != figures.end(); ++it)
                merged.insert(it.key(), it.value());
        }
    }

    int index = 0;
    int partlyNull = 0; // figures a block of the point did not compute
    int allNull = 0;    // figures no block of the point computed
    for (int channel : {1, 3})
        for (int averaging : {0, 4})
            for (double rate : {1000.0, 20833.0}) {
                const QJsonObject point = points[index];
                const QJsonArray pointFiles = recorded[index++].toObject().value(QStringLiteral("files")).toArray();
                // The order of the plan, and the settings the driver read back.
                QCOMPARE(point.value(QStringLiteral("channel")).toInt(), channel);
                QCOMPARE(point.value(QStringLiteral("averaging")).toInt(), averaging);
                QCOMPARE(point.value(QStringLiteral("rate")).toDouble(), rate);
                QCOMPARE(point.value(QStringLiteral("vref")).toDouble(), 4.096);
                QCOMPARE(point.value(QStringLiteral("samples")).toInt(), Samples);
                QCOMPARE(point.value(QStringLiteral("blocks")).toInt(), 2);
                QCOMPARE(pointFiles.size(), 2);
                QList<QJsonObject> blocks;
                int tones = 0;
                for (int n = 0; n < 2; ++n) {
                    const QString name = pointFiles[n].toString();
                    QCOMPARE(name, QStringLiteral("ch%1-avg%2-rate%3-000%4.csv").arg(channel).arg(averaging).arg(rate).arg(n + 1));
                    const QString file = QDir(folder).filePath(name);
                    blocks.append(blockFigures.value(file));
                    tones += blocks.last().value(QStringLiteral("tone_found")).toBool() ? 1 : 0;
                    // The noise figures of analyze, from the codes with the test's own formulas.
                    const DataFileLoader::Result loaded = DataFileLoader::loadFile(file);
                    QCOMPARE(int(loaded.outcome), int(DataFileLoader::Outcome::Loaded));
                    const std::vector<std::int32_t> &codes = loaded.block.samples;
                    double sum = 0;
                    for (std::int32_t code : codes)
                        sum += code;
                    const double mean = sum / double(codes.size());
                    double squares = 0;
                    for (std::int32_t code : codes)
                        squares += (code - mean) * (code - mean);
                    const double sigma = std::sqrt(squares / double(codes.size() - 1));
                    const auto [low, high] = std::minmax_element(codes.begin(), codes.end());
                    const QJsonObject &figures = blocks.last();
                    QVERIFY(near(figures.value(QStringLiteral("rms_noise_codes")).toDouble(), sigma));
                    QVERIFY(near(figures.value(QStringLiteral("pp_noise_codes")).toDouble(), double(*high - *low)));
                    QVERIFY(near(figures.value(QStringLiteral("effective_resolution_bits")).toDouble(),
                                 loaded.block.numBits - std::log2(sigma)));
                    QVERIFY(near(figures.value(QStringLiteral("rms_noise_uv")).toDouble(), sigma * loaded.block.lsbSize * 1e6));
                }
                QCOMPARE(point.value(QStringLiteral("tone_blocks")).toInt(), tones);
                QVERIFY2(tones == (index == 8 ? 0 : 1), QJsonDocument(blocks[0]).toJson().constData());
                // Every numeric figure: mean and spread over the blocks that computed it.
                int keys = 0;
                for (auto it = blocks[0].begin(); it != blocks[0].end(); ++it) {
                    const QString key = it.key();
                    if (!it.value().isDouble() && !it.value().isNull())
                        continue;
                    // limited_by names a cause (null when none): no number to sum up.
                    if (key == QLatin1String("samples") || key == QLatin1String("limited_by"))
                        continue;
                    QList<double> values;
                    for (const QJsonObject &block : blocks)
                        if (block.value(key).isDouble())
                            values.append(block.value(key).toDouble());
                    ++keys;
                    partlyNull += values.size() == 1 ? 1 : 0;
                    if (values.isEmpty()) {
                        ++allNull;
                        QVERIFY2(point.value(key).isNull() && point.value(key + "_min").isNull(), qPrintable(key));
                        continue;
                    }
                    const double expectedMean = std::accumulate(values.begin(), values.end(), 0.0) / values.size();
                    QVERIFY2(near(point.value(key).toDouble(), expectedMean), qPrintable(key));
                    QVERIFY2(near(point.value(key + "_min").toDouble(), *std::min_element(values.begin(), values.end())),
                             qPrintable(key));
                    QVERIFY2(near(point.value(key + "_max").toDouble(), *std::max_element(values.begin(), values.end())),
                             qPrintable(key));
                }
                QVERIFY(keys >= 20);
            }
    // The blocks without a tone had figures null that blocks with one had.
    QVERIFY(partlyNull > 0 && allNull > 0);
}

void tst_cli_sweep::failedPointGoesOnAndGoneBoardEnds()
{
    // The board refuses the second point's rate: that point fails, the run
    // goes on (exit 1). Then a board whose line goes away in the third point
    // ends the run (exit 3), the points done kept in run.json.
    HostileBoard refusing;
    refusing.memory.assign(64, 12345);
    int rateWrites = 0;
    refusing.faultFor = [&rateWrites](const csr232packet &request, int) {
        const bool rateWrite = request.packetType() == 3 && request.operandSize() == 1
                               && qFromBigEndian<quint32>(request.addressBytes().constData() + 4) == 20;
        return rateWrite && ++rateWrites == 3 ? Fault::Refuse : Fault::None;
    };
    const QStringList plan{QStringLiteral("--rates"), QStringLiteral("100,200,300"), QStringLiteral("--samples"),
                           QStringLiteral("64"), QStringLiteral("--settle-blocks"), QStringLiteral("0"), QStringLiteral("--table")};
    const Run refused = run(QStringList{QStringLiteral("sweep"), QStringLiteral("--port"), refusing.devicePath()} + plan);
    QCOMPARE(refused.exitCode, 1);
    QList<QByteArray> rows = refused.out.split('\n');
    QCOMPARE(rows.size(), 5); // header, three points, the empty rest
    QVERIFY(rows[1].startsWith("1,0,100,4.096,64,1,") && rows[1].endsWith(",\r"));
    QVERIFY2(rows[2].startsWith("1,0,200,,") && !rows[2].endsWith(",\r"), rows[2].constData());
    QVERIFY(rows[3].startsWith("1,0,300,4.096,64,1,"));
    QCOMPARE(rows[1].count(','), rows[0].count(','));
    QCOMPARE(rows[2].count(','), rows[0].count(','));

    HostileBoard hangingUp;
    hangingUp.memory.assign(64, -54321);
    hangingUp.blockReadsBeforeHangUp = 3;
    const QString folder = path(QStringLiteral("gone"));
    const Run gone = run(QStringList{QStringLiteral("sweep"), QStringLiteral("--port"), hangingUp.devicePath(),
                                     QStringLiteral("-o"), folder} + plan);
    QVERIFY2(gone.exitCode == 3, gone.err.constData());
    QFile recordFile(QDir(folder).filePath(QStringLiteral("run.json")));
    QVERIFY(recordFile.open(QIODevice::ReadOnly));
    const QJsonObject record = QJsonDocument::fromJson(recordFile.readAll()).object();
    QCOMPARE(record.value(QStringLiteral("ending")).toString(), QStringLiteral("board gone"));
    const QJsonArray points = record.value(QStringLiteral("points")).toArray();
    QVERIFY2(points.size() >= 2 && points.size() <= 3, gone.out.constData());
    QCOMPARE(points[0].toObject().value(QStringLiteral("files")).toArray().size(), 1);
    QVERIFY(points.last().toObject().contains(QStringLiteral("error")));
    QCOMPARE(gone.out.count('\n'), points.size() + 1);
    // A folder that holds something is refused before the board is touched.
    HostileBoard untouched;
    const Run occupied = run(QStringList{QStringLiteral("sweep"), QStringLiteral("--port"), untouched.devicePath(),
                                         QStringLiteral("-o"), folder} + plan);
    QCOMPARE(occupied.exitCode, 1);
    QVERIFY2(occupied.err.contains("not empty"), occupied.err.constData());
    QCOMPARE(untouched.requests(), 0);
}

void tst_cli_sweep::interruptedRunLeavesAValidTable()
{
    // Ctrl+C in the third point's block: the block is dropped, the two
    // points done make a whole CSV table, exit 130.
    HostileBoard board;
    board.memory.assign(64, 777);
    qint64 tool = 0;
    int starts = 0;
    board.faultFor = [&](const csr232packet &request, int) {
        if (isStart(request) && ++starts == 3) {
            ::kill(pid_t(tool), SIGINT);
            return Fault::Lose;
        }
        return Fault::None;
    };
    const Run result = run({QStringLiteral("sweep"), QStringLiteral("--port"), board.devicePath(), QStringLiteral("--rates"),
                            QStringLiteral("100,200,300,400"), QStringLiteral("--samples"), QStringLiteral("64"),
                            QStringLiteral("--settle-blocks"), QStringLiteral("0"), QStringLiteral("--table")},
                           [&tool](qint64 pid) { tool = pid; });
    QCOMPARE(result.exitCode, 130);
    QVERIFY2(result.err.contains("interrupted; 2 of 4 points done"), result.err.constData());
    const QList<QByteArray> rows = result.out.split('\n');
    QCOMPARE(rows.size(), 4);
    QVERIFY(rows[2].startsWith("1,0,200,4.096,64,1,"));
    QCOMPARE(starts, 3);
}

QTEST_MAIN(tst_cli_sweep)
#include "tst_cli_sweep.moc"
