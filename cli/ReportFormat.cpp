// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportFormat.h"

#include "AnalysisOptions.h"

std::optional<QString> ReportFormat::take(OptionArgument &argument)
{
    const QString &name = argument.name();
    if (name != QLatin1String("--json") && name != QLatin1String("--table"))
        return std::nullopt;
    if (argument.hasInlineValue())
        return QStringLiteral("option %1 takes no value").arg(name);
    const bool asTable = name == QLatin1String("--table");
    if (chosen && table != asTable)
        return QStringLiteral("--json and --table exclude each other");
    table = asTable;
    chosen = true;
    return QString();
}
