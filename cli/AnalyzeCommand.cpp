// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalyzeCommand.h"

#include "AnalyzeOptions.h"
#include "BlockLoading.h"
#include "DataFileOutput.h"
#include "FigureTable.h"
#include "ReportText.h"
#include "TerminalText.h"
#include "ViewAnalysis.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace AnalyzeCommand {

namespace {

QJsonObject reportJson(const QString &file, const SampleBlock &block, const QString &viewName,
                       const ViewReport &report)
{
    QJsonObject object{{QStringLiteral("file"), file},
                       {QStringLiteral("device"), block.deviceId},
                       {QStringLiteral("samples"), static_cast<qint64>(block.samples.size())},
                       {QStringLiteral("view"), viewName}};
    for (const Figure &figure : report.figures)
        object.insert(figure.key, figure.jsonValue());
    return object;
}

struct FileReport {
    SampleBlock block;
    ViewReport report;
};

// Loads, analyses and, with --save, saves one file: its report, or a one-line
// description of why it has none.
std::variant<FileReport, QString> analyzeFile(const QString &file, const AnalyzeOptions &options)
{
    auto loaded = loadTimeDomainBlock(file);
    if (const QString *problem = std::get_if<QString>(&loaded))
        return *problem;
    FileReport result{std::move(std::get<SampleBlock>(loaded)), {}};
    const bool saving = !options.savePath.isEmpty();
    result.report = ViewReport::analyze(result.block, options,
                                        saving ? std::optional(QDateTime::currentDateTime()) : std::nullopt);
    QString saveError;
    if (saving && !DataFileOutput::save(options.savePath, result.report.fileContent, &saveError))
        return saveError;
    return result;
}

// Prints the report of the files' averaged spectra, or refuses the whole set
// when one file cannot be loaded or differs in FFT length, rate or scale.
int runAverage(const AnalyzeOptions &options, QTextStream &stdOut, QTextStream &err)
{
    QTextStream &out = DataFileOutput::reportStream(options.savePath, stdOut, err);
    QList<SampleBlock> blocks;
    for (const QString &file : options.files) {
        auto loaded = loadTimeDomainBlock(file);
        if (const QString *problem = std::get_if<QString>(&loaded)) {
            err << "kz7305evm-cli analyze: " << *problem << '\n';
            return FileProblem;
        }
        blocks.append(std::move(std::get<SampleBlock>(loaded)));
    }
    const bool saving = !options.savePath.isEmpty();
    const auto averaged = ViewReport::analyzeAverage(
        blocks, options, saving ? std::optional(QDateTime::currentDateTime()) : std::nullopt);
    if (const qsizetype *mismatch = std::get_if<qsizetype>(&averaged)) {
        err << "kz7305evm-cli analyze: " << options.files[*mismatch] << ": FFT length, sample rate or scale differs from "
            << options.files.first() << "'s; only spectra of one shape can be averaged\n";
        return FileProblem;
    }
    const ViewReport &report = std::get<ViewReport>(averaged);
    QString saveError;
    if (saving && !DataFileOutput::save(options.savePath, report.fileContent, &saveError)) {
        err << "kz7305evm-cli analyze: " << saveError << '\n';
        return FileProblem;
    }
    // The average stands for the files together; the last block names the device.
    const QString label = options.files.join(QLatin1Char('+'));
    const QString viewName = AnalyzeOptions::viewName(options.view);
    switch (options.output) {
    case AnalyzeOptions::Output::Json:
        TerminalText::printJsonLine(out, reportJson(label, blocks.last(), viewName, report));
        break;
    case AnalyzeOptions::Output::Table: {
        FigureTable table(out);
        table.addReport(label, blocks.last(), viewName, report);
        table.finish();
        break;
    }
    case AnalyzeOptions::Output::Text:
        ReportText::print(out, label, blocks.last(), viewName, report);
        break;
    }
    return Success;
}

} // namespace

int run(const QStringList &arguments, QTextStream &stdOut, QTextStream &err)
{
    auto parsed = AnalyzeOptions::parse(arguments);
    if (const QString *problem = std::get_if<QString>(&parsed)) {
        err << "kz7305evm-cli analyze: " << *problem << " (see --help)\n";
        return UsageProblem;
    }
    const AnalyzeOptions &options = std::get<AnalyzeOptions>(parsed);
    options.printNotes(err, "analyze");
    if (options.average)
        return runAverage(options, stdOut, err);
    // With "--save -" the data file alone goes to standard output.
    QTextStream &out = DataFileOutput::reportStream(options.savePath, stdOut, err);
    const QString viewName = AnalyzeOptions::viewName(options.view);
    FigureTable table(out);
    int result = Success;
    bool textPrinted = false;

    // Each file on its own: one that fails is reported in its place (and on
    // stderr) and the others are still analysed.
    for (const QString &file : options.files) {
        const auto analysed = analyzeFile(file, options);
        if (const QString *problem = std::get_if<QString>(&analysed)) {
            err << "kz7305evm-cli analyze: " << *problem << '\n';
            if (options.output == AnalyzeOptions::Output::Json)
                TerminalText::printJsonLine(out, {{QStringLiteral("file"), file}, {QStringLiteral("error"), *problem}});
            else if (options.output == AnalyzeOptions::Output::Table)
                table.addFailure(file, *problem);
            result = FileProblem;
        } else {
            const auto &[block, report] = std::get<FileReport>(analysed);
            switch (options.output) {
            case AnalyzeOptions::Output::Json:
                TerminalText::printJsonLine(out, reportJson(file, block, viewName, report));
                break;
            case AnalyzeOptions::Output::Table:
                table.addReport(file, block, viewName, report);
                break;
            case AnalyzeOptions::Output::Text:
                if (textPrinted)
                    out << '\n'; // a blank line between the files' reports
                textPrinted = true;
                ReportText::print(out, file, block, viewName, report);
                break;
            }
        }
        // A long batch shows each file as it is done, problems in their place.
        out.flush();
        err.flush();
    }
    if (options.output == AnalyzeOptions::Output::Table)
        table.finish();
    return result;
}

} // namespace AnalyzeCommand
