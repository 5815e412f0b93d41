// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalyzeOptions.h"

#include "ReportFormat.h"
#include "SpectrumAverage.h"

std::variant<AnalyzeOptions, QString> AnalyzeOptions::parse(const QStringList &arguments)
{
    AnalyzeOptions options;
    ReportFormat format;
    const auto own = [&](OptionArgument &argument) -> std::optional<QString> {
        const QString &name = argument.name();
        if (std::optional<QString> taken = format.take(argument)) {
            if (format.chosen)
                options.output = format.table ? Output::Table : Output::Json;
            return taken;
        }
        if (name == QLatin1String("--average")) {
            if (argument.hasInlineValue())
                return QStringLiteral("option %1 takes no value").arg(name);
            options.average = true;
            return QString();
        }
        if (name == QLatin1String("--save")) {
            if (!argument.takeValue(options.savePath) || options.savePath.isEmpty())
                return QStringLiteral("option %1 needs a value").arg(name);
            return QString();
        }
        return std::nullopt;
    };
    if (std::optional<QString> problem = options.AnalysisOptions::parse(arguments, own))
        return *problem;
    if (options.average) {
        if (options.view != View::FFTPlot)
            return QStringLiteral("--average needs --view fft");
        if (options.files.size() < SpectrumAverage::MinDepth || options.files.size() > SpectrumAverage::MaxDepth)
            return QStringLiteral("--average takes %1 to %2 files, %3 were given")
                .arg(SpectrumAverage::MinDepth)
                .arg(SpectrumAverage::MaxDepth)
                .arg(options.files.size());
        return options;
    }
    if (!options.savePath.isEmpty() && options.files.size() > 1)
        return QStringLiteral("--save takes one input file only, %1 were given").arg(options.files.size());
    return options;
}
