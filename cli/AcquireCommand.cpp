// SPDX-License-Identifier: GPL-3.0-or-later
#include "AcquireCommand.h"

#include "AcquireOptions.h"
#include "BlockAcquirer.h"
#include "BoardPort.h"
#include "BoardSession.h"
#include "DataFileOutput.h"
#include "InterruptWatcher.h"
#include "NuvarDriverClass.h"
#include "NuvarDriverSettings.h"
#include "ProgressDisplay.h"
#include "ReportText.h"
#include "ViewAnalysis.h"
#include "NoiseTrend.h"
#include "RegularFile.h"

#include <QDateTime>

#include <unistd.h>

namespace AcquireCommand {

namespace {

// How many of a continuous run's block files are checked before it starts.
constexpr int MaxNamedBlocks = 9999;

// A usage problem told in one line; the exit code for it.
int usageProblem(QTextStream &err, const QString &problem)
{
    err << "kz7305evm-cli acquire: " << problem << " (see --help)\n";
    return UsageProblem;
}

class Acquisition
{
public:
    Acquisition(AcquireOptions options, QTextStream &out, QTextStream &err)
        : m_options(std::move(options))
        , m_out(out)
        , m_err(err)
        , m_progress(err, isatty(STDERR_FILENO) == 1)
    {
    }

    int run()
    {
        QString problem;
        if (!BoardPort::loadDriver(m_board, problem))
            return fail(BoardProblem, problem);
        if (const std::optional<QString> usage = m_options.takeSamples(m_board.limits()))
            return usageProblem(m_err, *usage);
        // A block can take minutes: a file it cannot be saved to is found first.
        if (const std::optional<QString> fileTrouble = fileProblem())
            return fail(FileProblem, *fileTrouble);
        if (!BoardPort::connect(m_board, m_options.port, problem))
            return fail(BoardProblem, problem);
        try {
            if (const auto refused = m_options.boardSetup().applyTo(*m_board.namedSettings()))
                return fail(BoardProblem, QStringLiteral("the driver refused %1").arg(*refused));
            if (m_options.rate) {
                if (const auto refused = BoardSetup::setSampleRate(*m_board.driver(), *m_options.rate))
                    return fail(BoardProblem, *refused);
            }
        } catch (const std::exception &error) {
            return fail(BoardProblem, QString::fromLocal8Bit(error.what()));
        }
        if (!m_options.trend.isEmpty() && !m_trend.startLog(m_options.trend, &problem))
            return fail(FileProblem, problem);
        BlockAcquirer blocks(m_board, m_progress, 1 << m_options.averaging);
        InterruptWatcher interrupts;
        QObject::connect(&interrupts, &InterruptWatcher::interrupted, [&blocks] { blocks.interrupt(); });
        return acquireBlocks(blocks, interrupts);
    }

private:
    std::optional<QString> fileProblem() const
    {
        if (!m_options.trend.isEmpty()) {
            if (const auto problem = RegularFile::writeProblem(m_options.trend, RegularFile::WriteMode::Append))
                return QStringLiteral("cannot write the noise trend log %1: %2").arg(m_options.trend, *problem);
        }
        if (DataFileOutput::isStandardOutput(m_options.output))
            return std::nullopt;
        const int blocks = m_options.continuous ? MaxNamedBlocks : m_options.count;
        for (int number = 1; number <= blocks; ++number) {
            const QString path = m_options.outputPath(number);
            if (const auto problem = RegularFile::writeProblem(path))
                return QStringLiteral("cannot save \"%1\": %2").arg(path, *problem);
            if (!m_options.trend.isEmpty() && RegularFile::sameFile(m_options.trend, path))
                return QStringLiteral("the noise trend log %1 would be overwritten by block %2's data file")
                    .arg(m_options.trend).arg(number);
        }
        return std::nullopt;
    }

    int acquireBlocks(BlockAcquirer &blocks, const InterruptWatcher &interrupts)
    {
        for (int number = 1; m_options.continuous || number <= m_options.count; ++number) {
            if (interrupts.wasInterrupted())
                return interrupted(number - 1);
            m_progress.beginBlock(number);
            SampleBlock block;
            QString problem;
            const BlockAcquirer::Outcome outcome = blocks.acquireBlock(m_options.samples, number == 1, block, problem);
            m_progress.endBlock();
            if (outcome == BlockAcquirer::Outcome::Interrupted)
                return interrupted(number - 1);
            if (outcome == BlockAcquirer::Outcome::Failed)
                return fail(BoardProblem, QStringLiteral("block %1: %2").arg(number).arg(problem));
            if (const int saved = save(number, block); saved != Success)
                return saved;
        }
        return Success;
    }

    int save(int number, const SampleBlock &block)
    {
        const QString path = m_options.outputPath(number);
        const QDateTime now = QDateTime::currentDateTime();
        AnalyzeOptions timeView;
        timeView.noiseFigures = m_options.analyzeNoise;
        const ViewReport time = ViewReport::analyze(block, timeView, now);
        QString saveError;
        if (!DataFileOutput::save(path, time.fileContent, &saveError))
            return fail(FileProblem, saveError);
        if (m_trend.logging() && !m_trend.add(block, now, &saveError))
            return fail(FileProblem, saveError);
        QTextStream &report = DataFileOutput::reportStream(path, m_out, m_err);
        const QString name = DataFileOutput::displayName(path);
        ReportText::print(report, name, block, AnalyzeOptions::viewName(AnalyzeOptions::View::TimeDomain), time);
        if (m_options.analyzeFft) {
            const ViewReport fft = ViewReport::analyze(block, m_options.analysis, std::nullopt);
            ReportText::print(report, name, block, AnalyzeOptions::viewName(AnalyzeOptions::View::FFTPlot), fft);
        }
        report.flush();
        return Success;
    }

    int interrupted(int saved)
    {
        m_err << "kz7305evm-cli acquire: interrupted; " << saved << (saved == 1 ? " block" : " blocks")
              << " saved\n";
        return m_options.continuous ? Success : Interrupted;
    }

    int fail(int code, const QString &problem)
    {
        m_err << "kz7305evm-cli acquire: " << problem << '\n';
        return code;
    }

    AcquireOptions m_options;
    QTextStream &m_out;
    QTextStream &m_err;
    ProgressDisplay m_progress;
    BoardSession m_board; // closes the driver when the command ends
    NoiseTrend m_trend;
};

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    auto parsed = AcquireOptions::parse(arguments);
    if (const QString *problem = std::get_if<QString>(&parsed))
        return usageProblem(err, *problem);
    const AcquireOptions &options = std::get<AcquireOptions>(parsed);
    options.analysis.printNotes(err, "acquire");
    return Acquisition(options, out, err).run();
}

} // namespace AcquireCommand
