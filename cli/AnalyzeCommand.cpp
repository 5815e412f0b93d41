// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalyzeCommand.h"

#include "AnalyzeOptions.h"
#include "BlockLoading.h"
#include "DataFileWriter.h"
#include "ReportText.h"
#include "ViewAnalysis.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace AnalyzeCommand {

namespace {

void printText(QTextStream &out, const SampleBlock &block, const AnalyzeOptions &options,
               const ViewReport &report)
{
    ReportText::print(out, options.file, block, AnalyzeOptions::viewName(options.view), report);
}

void printJson(QTextStream &out, const SampleBlock &block, const AnalyzeOptions &options,
               const ViewReport &report)
{
    QJsonObject object{{QStringLiteral("file"), options.file},
                       {QStringLiteral("device"), block.deviceId},
                       {QStringLiteral("samples"), static_cast<qint64>(block.samples.size())},
                       {QStringLiteral("view"), AnalyzeOptions::viewName(options.view)}};
    for (const Figure &figure : report.figures)
        object.insert(figure.key, figure.computed ? QJsonValue(figure.value) : QJsonValue(QJsonValue::Null));
    out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
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

    const std::optional<SampleBlock> block = loadTimeDomainBlock(options.file, "analyze", err);
    if (!block)
        return FileProblem;

    const ViewReport report = ViewReport::analyze(*block, options, QDateTime::currentDateTime());
    QString saveError;
    if (!options.savePath.isEmpty() && !DataFileWriter::save(options.savePath, report.fileContent, &saveError)) {
        err << "kz7305evm-cli analyze: " << saveError << '\n';
        return FileProblem;
    }
    if (options.json)
        printJson(out, *block, options, report);
    else
        printText(out, *block, options, report);
    return Success;
}

} // namespace AnalyzeCommand
