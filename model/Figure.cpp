// SPDX-License-Identifier: GPL-3.0-or-later
#include "Figure.h"

#include "NumberFormat.h"
#include "PlotDocument.h"

#include <cmath>

QJsonValue Figure::jsonValue() const
{
    if (yesNo)
        return value != 0;
    return computed ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QString Figure::text() const
{
    if (yesNo)
        return value != 0 ? QStringLiteral("yes") : QStringLiteral("no");
    return std::isnan(value) ? QStringLiteral("-") : NumberFormat::general(value, QLatin1Char('.'));
}

QList<Figure> Figure::listOf(const PlotDocument &document, FigureCatalogue::Sections sections)
{
    const FigureResults results = document.figureResults();
    QList<Figure> figures;
    for (const FigureCatalogue::Entry &entry : FigureCatalogue::entries()) {
        if (!sections.testFlag(entry.section))
            continue;
        const FigureCatalogue::Value value = entry.read(results);
        figures.append({QLatin1String(entry.key), QLatin1String(entry.text), value.number, value.computed,
                        entry.kind == FigureCatalogue::Kind::YesNo});
    }
    return figures;
}
