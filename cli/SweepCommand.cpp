// SPDX-License-Identifier: GPL-3.0-or-later
#include "SweepCommand.h"

#include "BoardPort.h"
#include "BoardSession.h"
#include "CharacterisationRun.h"
#include "CsvRow.h"
#include "InterruptWatcher.h"
#include "NumberFormat.h"
#include "ProgressDisplay.h"
#include "RunFolder.h"
#include "SweepOptions.h"
#include "TerminalText.h"

#include <QEventLoop>
#include <cmath>
#include <memory>

#include <unistd.h>

namespace SweepCommand {

namespace {

// "1 h 05 min", "3 min 20 s", "40 s".
QString durationText(double seconds)
{
    const qint64 whole = std::llround(std::max(seconds, 0.0));
    if (whole >= 3600)
        return QStringLiteral("%1 h %2 min").arg(whole / 3600).arg(whole % 3600 / 60, 2, 10, QLatin1Char('0'));
    if (whole >= 60)
        return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1 s").arg(whole);
}

class Sweep
{
public:
    Sweep(SweepOptions options, QTextStream &out, QTextStream &err)
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
            return fail(BoardGone, problem);
        if (const std::optional<QString> usage = m_options.takeSamples(m_board.limits()))
            return usageProblem(*usage);
        // The whole plan is checked before anything starts.
        if (const std::optional<QString> usage = m_options.plan.problem(m_board.limits()))
            return usageProblem(*usage);
        if (!m_options.outputFolder.isEmpty() && !RunFolder::create(m_options.outputFolder, &problem))
            return fail(FileProblem, problem);
        if (!BoardPort::connect(m_board, m_options.port, problem))
            return fail(BoardGone, problem);

        CharacterisationRun run(m_board);
        std::unique_ptr<RunFolder> folder;
        if (!m_options.outputFolder.isEmpty()) {
            folder = std::make_unique<RunFolder>(m_options.outputFolder, m_options.plan, run);
            QObject::connect(folder.get(), &RunFolder::writeFailed,
                             [this](const QString &trouble) { m_writeProblem = trouble; });
        }
        follow(run);
        InterruptWatcher interrupts;
        QObject::connect(&interrupts, &InterruptWatcher::interrupted, [&run] { run.stop(); });
        if (m_options.table)
            m_out << CsvRow::line(PointResult::csvHeader(m_options.plan.figureKeys())) << Qt::flush;
        if (!run.start(m_options.plan, &problem))
            return fail(BoardGone, problem);
        QEventLoop loop;
        CharacterisationRun::Ending ending = CharacterisationRun::Ending::Completed;
        QObject::connect(&run, &CharacterisationRun::finished, &loop, [&](CharacterisationRun::Ending how) {
            ending = how;
            loop.quit();
        });
        loop.exec();
        m_progress.endBlock();
        return exitCode(run, ending, interrupts.wasInterrupted());
    }

private:
    void follow(CharacterisationRun &run)
    {
        QObject::connect(&run, &CharacterisationRun::pointStarted, [this](int, int points) { m_points = points; });
        QObject::connect(&run, &CharacterisationRun::blockStarted, [this, &run](int point, int block, bool settling) {
            const RunPlan &plan = m_options.plan;
            const RunPlan::Point planned = plan.points().value(point);
            m_progress.beginStep(QStringLiteral("point %1 of %2 (input %3, averaging %4, %5 Hz), block %6 of %7%8, %9 left")
                                     .arg(point + 1)
                                     .arg(m_points)
                                     .arg(planned.channel)
                                     .arg(planned.averaging)
                                     .arg(NumberFormat::general(planned.rate, QLatin1Char('.')))
                                     .arg(block)
                                     .arg(plan.blocksPerPoint())
                                     .arg(settling ? QStringLiteral(" (settling)") : QString())
                                     .arg(durationText(run.remainingSeconds())));
        });
        QObject::connect(&run, &CharacterisationRun::blockProgress,
                         [this](AcquisitionSession::Stage stage, int done, int total) {
                             if (stage == AcquisitionSession::Stage::ReceptionStarted
                                 || stage == AcquisitionSession::Stage::Receiving)
                                 m_progress.receiving(done, total);
                             else if (stage != AcquisitionSession::Stage::AcquisitionComplete)
                                 m_progress.acquiring(done, total);
                         });
        QObject::connect(&run, &CharacterisationRun::retrying, [this](int retry, const QString &cause) {
            m_progress.note(AcquisitionSession::withCause(QStringLiteral("a block could not be received"), cause)
                            + QStringLiteral("; receiving again (%1 of %2)").arg(retry).arg(AcquisitionSession::MaxRetries));
        });
        QObject::connect(&run, &CharacterisationRun::pointFinished, [this](int, const PointResult &result) {
            m_progress.endBlock();
            if (result.failed())
                m_progress.note(QStringLiteral("failed: ") + result.error);
            if (m_options.table)
                m_out << CsvRow::line(result.csvFields(m_options.plan.figureKeys()));
            else
                TerminalText::printJsonLine(m_out, result.toJson());
            m_out.flush();
        });
    }

    int exitCode(const CharacterisationRun &run, CharacterisationRun::Ending ending, bool interrupted)
    {
        const qsizetype done = run.results().size();
        const QString points = QStringLiteral("%1 of %2 points done").arg(done).arg(m_options.plan.points().size());
        if (!m_writeProblem.isEmpty())
            return fail(FileProblem, m_writeProblem + QStringLiteral("; ") + points);
        if (interrupted)
            return fail(Interrupted, QStringLiteral("interrupted; ") + points);
        if (ending == CharacterisationRun::Ending::BoardGone)
            return fail(BoardGone, QStringLiteral("the board is gone; ") + points);
        const auto failed = std::count_if(run.results().cbegin(), run.results().cend(),
                                          [](const PointResult &point) { return point.failed(); });
        if (failed > 0)
            return fail(PointFailed, QStringLiteral("%1 of %2 points failed").arg(failed).arg(done));
        return Success;
    }

    int usageProblem(const QString &problem)
    {
        m_err << "kz7305evm-cli sweep: " << problem << " (see --help)\n";
        return UsageProblem;
    }

    int fail(int code, const QString &problem)
    {
        m_err << "kz7305evm-cli sweep: " << problem << '\n';
        return code;
    }

    SweepOptions m_options;
    QTextStream &m_out;
    QTextStream &m_err;
    ProgressDisplay m_progress;
    BoardSession m_board; // closes the driver when the command ends
    QString m_writeProblem;
    int m_points = 0;
};

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    auto parsed = SweepOptions::parse(arguments);
    if (const QString *problem = std::get_if<QString>(&parsed)) {
        err << "kz7305evm-cli sweep: " << *problem << " (see --help)\n";
        return UsageProblem;
    }
    const SweepOptions &options = std::get<SweepOptions>(parsed);
    for (const QString &note : options.notes)
        err << "kz7305evm-cli sweep: " << note << '\n';
    return Sweep(options, out, err).run();
}

} // namespace SweepCommand
