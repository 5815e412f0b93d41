// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFigures.h"

#include "NumberFormat.h"
#include "PlotDocument.h"

#include <cmath>

QJsonValue Figure::jsonValue() const
{
    using FigureCatalogue::Kind;
    if (kind == Kind::YesNo)
        return value != 0;
    if (!computed)
        return QJsonValue(QJsonValue::Null);
    return kind == Kind::Name ? QJsonValue(name) : QJsonValue(value);
}

QString Figure::text() const
{
    using FigureCatalogue::Kind;
    if (kind == Kind::YesNo)
        return value != 0 ? QStringLiteral("yes") : QStringLiteral("no");
    if (kind == Kind::Name)
        return computed ? name : QStringLiteral("-");
    return std::isnan(value) ? QStringLiteral("-") : NumberFormat::general(value, QLatin1Char('.'));
}

QList<Figure> documentFigures(const PlotDocument &document, FigureCatalogue::Sections sections)
{
    const FigureResults results = document.figureResults();
    QList<Figure> figures;
    for (const FigureCatalogue::Entry &entry : FigureCatalogue::entries()) {
        if (!sections.testFlag(entry.section))
            continue;
        const FigureCatalogue::Value value = entry.read(results);
        figures.append({QLatin1String(entry.key), QLatin1String(entry.text), value.number, value.computed,
                        entry.kind, entry.name && value.computed ? entry.name(results) : QString()});
    }
    return figures;
}
