// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewAnalysis.h"

#include "FigureCatalogue.h"
#include "ViewTraits.h"

namespace {

FigureCatalogue::Sections reportSections(const AnalysisOptions &options)
{
    FigureCatalogue::Sections sections = ViewTraits::of(options.view).figures;
    if (!options.noiseFigures)
        sections.setFlag(FigureCatalogue::Section::Noise, false);
    return sections;
}

} // namespace

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
    return ViewReport{Figure::listOf(document, reportSections(options)),
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
    const QList<Figure> figures = Figure::listOf(
        document, ViewTraits::of(PlotDocument::FFTPlot).figures | FigureCatalogue::Section::Average);
    return ViewReport{figures, fileCreated ? document.dataFileContent(*fileCreated) : QByteArray()};
}
