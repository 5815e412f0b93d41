// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlotCommand.h"

#include "AnalyzeCommand.h"
#include "BlockLoading.h"
#include "GraphOutput.h"
#include "Plot.h"
#include "PlotOptions.h"
#include "ViewAnalysis.h"
#include "ViewGraph.h"

namespace PlotCommand {

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Q_UNUSED(out)
    auto parsed = PlotOptions::parse(arguments);
    if (const QString *problem = std::get_if<QString>(&parsed)) {
        err << "kz7305evm-cli plot: " << *problem << " (see --help)\n";
        return AnalyzeCommand::UsageProblem;
    }
    const PlotOptions &options = std::get<PlotOptions>(parsed);
    options.printNotes(err, "plot");
    auto loaded = loadTimeDomainBlock(options.files.first());
    if (const QString *problem = std::get_if<QString>(&loaded)) {
        err << "kz7305evm-cli plot: " << *problem << '\n';
        return AnalyzeCommand::FileProblem;
    }
    const SampleBlock &block = std::get<SampleBlock>(loaded);

    // The graph a new plot window would draw for the same block and options.
    PlotDocument document;
    analyzeInDocument(document, block, options);
    Plot plot;
    ViewGraph::draw(document, plot, ViewGraph::defaultStyle(document.view()));
    ViewGraph::addPrintFigures(document, plot);
    QString error;
    if (!GraphOutput::exportTo(plot, options.output, options.size, &error)) {
        err << "kz7305evm-cli plot: " << error << '\n';
        return AnalyzeCommand::FileProblem;
    }
    return AnalyzeCommand::Success;
}

} // namespace PlotCommand
