// SPDX-License-Identifier: GPL-3.0-or-later
// The FFT tab: the graph with its options beside it, and how a change of an
// option reaches the graph.
#include "frmPlot.h"

#include "CollapsibleSidePanel.h"
#include "FftAveragingBar.h"
#include "FftOptionsPanel.h"
#include "FiguresPanel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

QWidget *frmPlot::buildFftPage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_graphPages[FFTPlot - 1], 1);
    // The tone figures stand among the options; both fold away to give the
    // graph the whole width.
    m_fftOptions->insertFigures(m_tonePanel);
    m_fftSide = new CollapsibleSidePanel(QStringLiteral("Figures and options"), m_fftOptions, page);
    layout->addWidget(m_fftSide);
    column->addLayout(layout, 1);
    column->addWidget(m_averagingBar);
    return page;
}

void frmPlot::connectFftOptions()
{
    // Another window or Auto: the levels and metrics are out of date.
    const auto recompute = [this] {
        if (!m_document.DataReady())
            return;
        m_document.invalidate();
        showView(FFTPlot);
    };
    connect(m_fftOptions, &FftOptionsPanel::windowClicked, this, recompute);
    connect(m_fftOptions, &FftOptionsPanel::normalizationClicked, this, [this](bool highestSignal) {
        setNormalizeFFT(highestSignal);
        redrawFftWithNewOptions();
    });
    // The marks come from the kept tables: a redraw shows them.
    connect(m_fftOptions, &FftOptionsPanel::marksChanged, this, &frmPlot::redrawFftWithNewOptions);
    connect(m_fftOptions, &FftOptionsPanel::unitChanged, this, &frmPlot::redrawFftWithNewOptions);
}

void frmPlot::redrawFftWithNewOptions()
{
    if (m_document.DataReady() && m_document.view() == FFTPlot)
        UpdatePlot();
}
