// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's controls: the outer tab strip with the Scope, FFT,
// Histogram and Data List pages, and the four-panel status bar.
#include "frmPlot.h"

#include "DataListPage.h"
#include "FftAveragingBar.h"
#include "FftOptionsPanel.h"
#include "GraphToolsBar.h"
#include "Plot.h"
#include "ReferenceBar.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// A page with the graph's place on the left and, when given, a column of
// figures on the right.
QWidget *graphPage(QWidget *side)
{
    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    int columnWidth = 0;
    if (side) {
        auto *column = new QVBoxLayout;
        column->addWidget(side);
        column->addStretch(1);
        layout->addLayout(column);
        // As wide as its texts: the graph gives way, never the figures.
        side->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);
        columnWidth = side->sizeHint().width() + layout->spacing();
    }
    // The graph moves from page to page: each keeps room for it beside its
    // column, so the window's minimum size does not depend on the view shown
    // and the column is never drawn over.
    page->setMinimumSize(Plot::MinimumWidth + 4 + columnWidth, Plot::MinimumHeight + 4);
    return page;
}

} // namespace

void frmPlot::buildLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(2);
    layout->addWidget(m_ssTab1, 1);
    layout->addWidget(m_graphTools);
    layout->addWidget(m_referenceBar);
    layout->addWidget(m_statusBar);

    // The figures' rows first: the columns beside the graphs take their widths.
    showFigures();
    m_graphPages = {graphPage(m_noisePanel), graphPage(nullptr), graphPage(m_cbNormalCurve)};
    m_ssTab1->addTab(m_graphPages[TimeDomain - 1], QStringLiteral("Scope"));
    m_ssTab1->addTab(buildFftPage(), QStringLiteral("FFT"));
    m_ssTab1->addTab(m_graphPages[Histogram - 1], QStringLiteral("Histogram"));
    m_ssTab1->addTab(m_dataListPage, QStringLiteral("Data List"));
    placeGraph(TimeDomain);

    for (QLabel *&panel : m_statusPanels) {
        panel = new QLabel(m_statusBar);
        // The four share the window's width and never hold it wider: a fixed
        // width held the window at its widest when it shrank.
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        m_statusBar->addWidget(panel, 1);
    }
    m_statusBar->setSizeGripEnabled(false);
    resize(900, 640);
}

void frmPlot::connectControls()
{
    connect(m_ssTab1, &QTabWidget::currentChanged, this, &frmPlot::SSTab1_Click);
    // Another format refills the list (and rewrites the time-domain texts)
    // without redrawing the graph.
    connect(m_dataListPage, &DataListPage::formatChosen, this, &frmPlot::runAnalysisPass);
    connectFftOptions();
    // A drawing option: the kept histogram is drawn again with or without it.
    connect(m_cbNormalCurve, &QCheckBox::toggled, this, [this](bool on) {
        m_document.setNormalCurve(on);
        if (m_document.view() == Histogram)
            UpdatePlot();
    });
    connect(&m_document, &PlotDocument::optionsChanged, this,
            [this] { m_cbNormalCurve->setChecked(m_document.normalCurve()); });
    connect(m_averagingBar, &FftAveragingBar::averageRestarted, this, [this] {
        if (m_document.view() == FFTPlot)
            UpdatePlot();
        else
            m_averagingBar->showCount(m_document.fftAverageCount());
    });
    connect(m_graphTools, &GraphToolsBar::timeAxisChanged, this, &frmPlot::drawGraph);
    auto *copy = new QShortcut(QKeySequence::Copy, this, this, &frmPlot::copyToClipboard);
    copy->setContext(Qt::WidgetWithChildrenShortcut);
}

