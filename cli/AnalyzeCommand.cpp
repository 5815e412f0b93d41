// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalyzeCommand.h"

#include "AnalyzeOptions.h"
#include "BlockLoading.h"
#include "DataFileWriter.h"
#include "FigureTable.h"
#include "ReportText.h"
#include "ViewAnalysis.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace AnalyzeCommand {

namespace {

void printJsonLine(QTextStream &out, const QJsonObject &object)
{
    out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
}

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
    if (saving && !DataFileWriter::save(options.savePath, result.report.fileContent, &saveError))
        return saveError;
    return result;
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    auto parsed = AnalyzeOptions::parse(arguments);
    if (const QString *problem = std::get_if<QString>(&parsed)) {
        err << "kz7305evm-cli analyze: " << *problem << " (see --help)\n";
        return UsageProblem;
    }
    const AnalyzeOptions &options = std::get<AnalyzeOptions>(parsed);
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
                printJsonLine(out, {{QStringLiteral("file"), file}, {QStringLiteral("error"), *problem}});
            else if (options.output == AnalyzeOptions::Output::Table)
                table.addFailure(file, *problem);
            result = FileProblem;
        } else {
            const auto &[block, report] = std::get<FileReport>(analysed);
            switch (options.output) {
            case AnalyzeOptions::Output::Json:
                printJsonLine(out, reportJson(file, block, viewName, report));
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
