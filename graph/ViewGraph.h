// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PlotDocument.h"

#include <cstdint>

class Plot;
class ViewReference;

// Draws a document's current view on a graph from its kept results: series,
// titles, axis labels and the FFT marks. Shared by the plot window and the
// command-line tool, so both draw the same picture.
namespace ViewGraph {

// A view's plotting method and its two style settings at index 0.
struct Style {
    std::int32_t method = 0;
    std::int16_t pointType = 0;
    std::int16_t lineType = 1;
};

// What the time-domain X axis counts: sample numbers from 1, or seconds from
// the first sample (sample number - 1) / SampleFreq.
enum class TimeAxis { SampleNumbers, Seconds };

// The style a new window starts with for view (the histogram in steps).
Style defaultStyle(PlotDocument::View view);

// Clears the graph's marks and, with data ready, feeds it the view in style
// (the histogram with its normal curve when the document asks for it); then
// redraws. The data list has no graph: only the titles are set. The axis
// units go to the graph for its cursor readout. A reference of the view on
// show is drawn under the series, in the units the view shows now.
void draw(const PlotDocument &document, Plot &plot, const Style &style,
          TimeAxis timeAxis = TimeAxis::SampleNumbers, const ViewReference *reference = nullptr);

// Adds the figures a printout carries to the subtitle (time domain: Min, Max,
// Mean, StdDev and a line of noise figures; FFT: SNR, SINAD, THD, SFDR) and
// redraws. Adding them twice
// shows them once.
void addPrintFigures(const PlotDocument &document, Plot &plot);

} // namespace ViewGraph
