// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalyzeOptions.h"

std::variant<AnalyzeOptions, QString> AnalyzeOptions::parse(const QStringList &arguments)
{
    AnalyzeOptions options;
    const auto own = [&options](OptionArgument &argument) -> std::optional<QString> {
        const QString &name = argument.name();
        if (name == QLatin1String("--json")) {
            if (argument.hasInlineValue())
                return QStringLiteral("option %1 takes no value").arg(name);
            options.json = true;
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
    return options;
}
