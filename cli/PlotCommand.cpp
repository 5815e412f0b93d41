// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlotCommand.h"

#include "AnalyzeCommand.h"
#include "AppState.h"
#include "BlockLoading.h"
#include "PlotOptions.h"
#include "frmPlot.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

namespace PlotCommand {

namespace {

frmPlot::View viewOf(AnalysisOptions::View view)
{
    switch (view) {
    case AnalysisOptions::View::Fft:
        return frmPlot::FFTPlot;
    case AnalysisOptions::View::Histogram:
        return frmPlot::Histogram;
    case AnalysisOptions::View::List:
        return frmPlot::DataList;
    case AnalysisOptions::View::Time:
        break;
    }
    return frmPlot::TimeDomain;
}

// The options go in through the window's own controls, so the graph is the
// one the window would draw with them.
void applyOptions(frmPlot &window, const PlotOptions &options)
{
    window.optWindow(options.window)->setChecked(true);
    window.txtNumBins()->setText(QString::number(options.numBins));
    window.txtNumHarm()->setText(QString::number(options.numHarmonics));
    window.setNormalizeFFT(options.normalize);
    window.optDataFormat(static_cast<int>(options.format))->setChecked(true);
    window.cbDCspect()->setChecked(options.markDcSpectrum);
    window.cbMainLobe()->setChecked(options.markMainLobe);
    window.cbHarmonics()->setChecked(options.markHarmonics);
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Q_UNUSED(out)
    auto parsed = PlotOptions::parse(arguments);
    if (const QString *problem = std::get_if<QString>(&parsed)) {
        err << "kz7305evm-cli plot: " << *problem << " (see --help)\n";
        return AnalyzeCommand::UsageProblem;
    }
    const PlotOptions &options = std::get<PlotOptions>(parsed);
    const std::optional<DataFileLoader::Block> block = loadTimeDomainBlock(options.file, "plot", err);
    if (!block)
        return AnalyzeCommand::FileProblem;

    frmPlot window;
    AppState::setDataReady(true);
    window.setDeviceID(block->deviceId);
    window.setNumBits(block->numBits);
    window.setLSBSize(block->lsbSize);
    window.setnumPoints(static_cast<std::int32_t>(block->samples.size()));
    window.setSampleFreq(block->sampleFreq);
    window.LoadData(block->samples);
    applyOptions(window, options);
    window.showView(viewOf(options.view));

    QString error;
    if (!window.exportGraph(options.output, options.size, &error)) {
        err << "kz7305evm-cli plot: " << error << '\n';
        return AnalyzeCommand::FileProblem;
    }
    return AnalyzeCommand::Success;
}

} // namespace PlotCommand
