// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewAnalysis.h"

#include "FigureCatalogue.h"
#include "NumberFormat.h"
#include "ViewTraits.h"

#include <cmath>

namespace {

// The figures of the catalogue's sections, in its order, as the document's
// last analysis left them.
QList<Figure> reportFigures(const PlotDocument &document, FigureCatalogue::Sections sections)
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

FigureCatalogue::Sections reportSections(const AnalysisOptions &options)
{
    FigureCatalogue::Sections sections = ViewTraits::of(options.view).figures;
    if (!options.noiseFigures)
        sections.setFlag(FigureCatalogue::Section::Noise, false);
    return sections;
}

} // namespace

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

void analyzeInDocument(PlotDocument &document, const SampleBlock &block, const AnalysisOptions &options)
{
    document.setBlock(block);
    DocumentOptions shown = options.document;
    shown.view = options.view;
    document.setOptions(shown);
    document.runAnalysisPass();
}

ViewReport ViewReport::analyze(const SampleBlock &block, const AnalysisOptions &options,
                               const std::optional<QDateTime> &fileCreated)
{
    PlotDocument document;
    analyzeInDocument(document, block, options);
    return ViewReport{reportFigures(document, reportSections(options)),
                      fileCreated ? document.dataFileContent(*fileCreated) : QByteArray()};
}

std::variant<ViewReport, qsizetype> ViewReport::analyzeAverage(std::span<const SampleBlock> blocks,
                                                               const AnalysisOptions &options,
                                                               const std::optional<QDateTime> &fileCreated)
{
    PlotDocument document;
    document.setFftAveraging(static_cast<int>(blocks.size()));
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        analyzeInDocument(document, blocks[i], options);
        // A block of another shape starts the average over: refuse the set.
        if (document.fftAverageCount() != static_cast<int>(i + 1))
            return static_cast<qsizetype>(i);
    }
    const QList<Figure> figures = reportFigures(
        document, ViewTraits::of(PlotDocument::FFTPlot).figures | FigureCatalogue::Section::Average);
    return ViewReport{figures, fileCreated ? document.dataFileContent(*fileCreated) : QByteArray()};
}
