// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmPlot.h"

#include "AppState.h"
#include "FftOptionsPanel.h"
#include "Plot.h"
#include "UserMessage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QStatusBar>
#include <QStringListModel>
#include <QTabWidget>

frmPlot::frmPlot(QWidget *parent)
    : QWidget(parent), m_plot(new Plot), m_ssTab1(new QTabWidget(this)), m_ssTab2(new QTabWidget),
      m_fftOptions(new FftOptionsPanel), m_dataList(new QListView), m_dataListModel(new QStringListModel(this)),
      m_dataFormatGroup(new QButtonGroup(this)), m_statusBar(new QStatusBar(this))
{
    buildLayout();
    connectControls();
    connect(&m_document, &PlotDocument::CalcStatus, this, &frmPlot::CalcStatus);
    connect(&m_document, &PlotDocument::userMessage, this, [this](const QString &text) { UserMessage::show(this, text); });
}

frmPlot::~frmPlot() = default;

void frmPlot::setNormalizeFFT(bool value)
{
    m_document.setNormalizeFFT(value);
    m_fftOptions->showNormalization(value);
}









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
    return index >= 0 && index < 4 ? m_dataFormatOptions[index] : nullptr;
}

std::optional<DataFormat> frmPlot::selectedDataFormat() const
{
    for (int i = 0; i < 4; ++i)
        if (m_dataFormatOptions[i]->isChecked())
            return static_cast<DataFormat>(i);
    return std::nullopt;
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
    static const char *suffixes[] = {": Time Domain", ": Fast Fourier Transform", ": Histogram", ": Data List"};
    const View view = m_document.view();
    const QString file = fileName();
    setWindowTitle(DeviceID() + QLatin1String(suffixes[view - 1])
                   + (file.isEmpty() ? QString() : QStringLiteral(" - ") + file));
    runAnalysisPass();
    const ViewGraph::Style *style = styleOf(view);
    ViewGraph::draw(m_document, *m_plot, style ? *style : ViewGraph::Style{});
}

void frmPlot::runAnalysisPass()
{
    m_document.setFftOptions(m_fftOptions->options());
    m_document.setDataFormat(selectedDataFormat());
    const View view = m_document.view();
    if (AppState::DataReady())
        m_statusBar->setVisible(view == TimeDomain || view == FFTPlot);
    const bool listWasFilled = m_document.isValid(PlotDocument::DataListFilled);
    m_document.runAnalysisPass();
    // A view over a model: tens of thousands of lines arrive in one reset.
    if (!listWasFilled && m_document.isValid(PlotDocument::DataListFilled))
        m_dataListModel->setStringList(m_document.dataListLines());
    const QStringList texts = m_document.statusTexts();
    for (int panel = 1; panel <= 4; ++panel)
        m_statusPanels[panel - 1]->setText(texts.at(panel - 1));
}
