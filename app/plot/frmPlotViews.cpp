// SPDX-License-Identifier: GPL-3.0-or-later
// Switching the plot window's views: the tab strips, the result flags a switch
// clears, the graph's place and its style per view.
#include "frmPlot.h"

#include "CollapsibleSidePanel.h"
#include "Plot.h"

#include <QBoxLayout>
#include <QTabWidget>

void frmPlot::selectTab(int index)
{
    if (index < ScopeTab || index > DataListTab)
        return;
    if (m_ssTab1->currentIndex() == index)
        SSTab1_Click(index);
    else
        m_ssTab1->setCurrentIndex(index); // runs SSTab1_Click
}

void frmPlot::showView(View view)
{
    // The tab strip follows the view, so tab, caption and graph always agree.
    static constexpr int tabs[] = {ScopeTab, FftTab, HistogramTab, DataListTab};
    if (view >= TimeDomain && view <= DataList)
        selectTab(tabs[view - 1]);
}

bool frmPlot::frameOptionsShown() const
{
    return m_shownTab == FftTab && m_fftSide->isExpanded();
}

void frmPlot::SSTab1_Click(int index)
{
    // Leaving the options may have changed them: the switch then recomputes.
    const bool optionsWereShown = frameOptionsShown();
    m_shownTab = index;
    switch (index) {
    case ScopeTab:
        switchView(TimeDomain, optionsWereShown);
        break;
    case FftTab:
        switchView(FFTPlot, optionsWereShown);
        break;
    case HistogramTab:
        switchView(Histogram, optionsWereShown);
        break;
    case DataListTab:
        switchView(DataList, optionsWereShown);
        break;
    default:
        break;
    }
}

ViewGraph::Style *frmPlot::styleOf(std::int16_t view)
{
    return view >= TimeDomain && view <= Histogram ? &m_styles[static_cast<std::size_t>(view - 1)] : nullptr;
}

void frmPlot::switchView(View view, bool optionsWereShown)
{
    if (optionsWereShown)
        m_document.invalidate();
    if (ViewGraph::Style *left = styleOf(m_document.view()))
        *left = ViewGraph::Style{m_plot->plottingMethod(), m_plot->pointType(), m_plot->lineType()};
    m_document.setView(view);
    placeGraph(view);
    m_plot->setVisible(view != DataList);
    UpdatePlot();
}

void frmPlot::placeGraph(View view)
{
    if (view < TimeDomain || view > Histogram)
        return;
    QWidget *page = m_graphPages[static_cast<std::size_t>(view - 1)];
    if (m_plot->parentWidget() != page)
        static_cast<QBoxLayout *>(page->layout())->insertWidget(0, m_plot, 1);
}

ViewGraph::Style frmPlot::graphStyle(View view)
{
    if (view == m_document.view() && styleOf(view))
        return ViewGraph::Style{m_plot->plottingMethod(), m_plot->pointType(), m_plot->lineType()};
    const ViewGraph::Style *style = styleOf(view);
    return style ? *style : ViewGraph::Style{};
}

void frmPlot::setGraphStyle(View view, const ViewGraph::Style &style)
{
    if (ViewGraph::Style *kept = styleOf(view))
        *kept = style;
}
