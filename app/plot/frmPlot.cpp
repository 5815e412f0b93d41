// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmPlot.h"

#include "ClickMarker.h"
#include "DataListPage.h"
#include "FftAveragingBar.h"
#include "FftOptionsPanel.h"
#include "FigureCatalogue.h"
#include "GraphToolsBar.h"
#include "NoiseTexts.h"
#include "NumberFormat.h"
#include "Plot.h"
#include "ReferenceBar.h"
#include "UserMessage.h"
#include "ViewTraits.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>

frmPlot::frmPlot(QWidget *parent)
    : QWidget(parent), m_plot(new Plot), m_printCommands(new PrintCommands(m_document, *m_plot, this)),
      m_graphTools(new GraphToolsBar(m_plot)),
      m_referenceBar(new ReferenceBar(m_document)), m_ssTab1(new QTabWidget(this)),
      m_fftOptions(new FftOptionsPanel(m_document)), m_averagingBar(new FftAveragingBar(m_document)),
      m_noisePanel(new FiguresPanel(QStringLiteral("Noise"))), m_tonePanel(new FiguresPanel(QStringLiteral("Tone"))),
      m_cbNormalCurve(new QCheckBox(QStringLiteral("Normal Curve"))), m_dataListPage(new DataListPage(m_document)),
      m_statusBar(new QStatusBar(this))
{
    buildLayout();
    connectControls();
    new ClickMarker(*m_plot);
    connect(m_printCommands, &PrintCommands::commandDone, this, &frmPlot::commandDone);
    connect(&m_document, &PlotDocument::CalcStatus, this, &frmPlot::CalcStatus);
    connect(&m_document, &PlotDocument::userMessage, this, [this](const QString &text) { UserMessage::show(this, text); });
    connect(m_referenceBar, &ReferenceBar::referenceChanged, this, &frmPlot::drawGraph);
    connect(m_referenceBar, &ReferenceBar::viewRequested, this, &frmPlot::showView);
}

frmPlot::~frmPlot() = default;

QString frmPlot::statusText(int panel) const
{
    return panel >= 1 && panel <= 4 ? m_statusPanels[panel - 1]->text() : QString();
}

bool frmPlot::statusBarShown() const
{
    return !m_statusBar->isHidden();
}

QRadioButton *frmPlot::optDataFormat(int index) const
{
    return m_dataListPage->formatOption(index);
}

QListView *frmPlot::lstDataList() const
{
    return m_dataListPage->list();
}

void frmPlot::GetFFTData(std::vector<double> &PassArray)
{
    showView(FFTPlot);
    const int n = fftLength();
    PassArray.assign(static_cast<std::size_t>(n) + 1, 0.0);
    std::copy_n(fftLevels().begin(), n, PassArray.begin());
}

void frmPlot::UpdatePlot()
{
    const QString file = fileName();
    setWindowTitle(DeviceID() + QLatin1String(ViewTraits::of(m_document.view()).caption)
                   + (file.isEmpty() ? QString() : QStringLiteral(" - ") + file));
    runAnalysisPass();
    drawGraph();
}

void frmPlot::drawGraph()
{
    const View view = m_document.view();
    const ViewGraph::Style *style = styleOf(view);
    ViewGraph::draw(m_document, *m_plot, style ? *style : ViewGraph::Style{},
                    m_graphTools->timeInSeconds() ? ViewGraph::TimeAxis::Seconds : ViewGraph::TimeAxis::SampleNumbers,
                    m_referenceBar->shown());
    m_graphTools->showFor(ViewTraits::of(view).graph, view == TimeDomain);
    m_referenceBar->showForView();
}

void frmPlot::copyToClipboard()
{
    const QString text = m_document.view() == DataList ? m_dataListPage->selectedText() : m_graphTools->readoutText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void frmPlot::runAnalysisPass()
{
    const View view = m_document.view();
    if (m_document.DataReady())
        m_statusBar->setVisible(ViewTraits::of(view).statusPanels);
    const bool listWasFilled = m_document.isValid(PlotDocument::DataListFilled);
    m_document.runAnalysisPass();
    if (!listWasFilled && m_document.isValid(PlotDocument::DataListFilled))
        m_dataListPage->setLines(m_document.dataListLines());
    const QStringList texts = m_document.statusTexts();
    for (int panel = 1; panel <= 4; ++panel)
        m_statusPanels[panel - 1]->setText(texts.at(panel - 1));
    m_averagingBar->showCount(m_document.fftAverageCount());
    showFigures();
}

void frmPlot::showFigures()
{
    using FigureCatalogue::Section;
    const QChar sep = NumberFormat::screenSeparator();
    const bool ready = m_document.DataReady();
    const bool timeShown = ready && m_document.isValid(PlotDocument::TimeValid);
    const bool fftShown = ready && m_document.isValid(PlotDocument::FftValid);
    // Figures of a view not computed for this block show as "-".
    FigureResults results = m_document.figureResults();
    if (!timeShown)
        results.noise = {};
    if (!fftShown)
        results.tone = {};
    m_noisePanel->setRows(FigureCatalogue::screenRows(Section::Noise, results, sep));
    m_noisePanel->setNote(timeShown && m_document.toneInTimeFigures() ? QLatin1String(NoiseTexts::SignalIncludedNote)
                                                                      : QString());
    m_tonePanel->setRows(FigureCatalogue::screenRows(Section::Spectrum | Section::Tone, results, sep));
    // What limits the figures says more than the lack of a tone.
    const QString &advice = results.tone.leakage.note;
    m_tonePanel->setNote(!fftShown || !advice.isEmpty() || results.tone.toneFound
                             ? advice
                             : QLatin1String(NoiseTexts::NoToneNote));
}
