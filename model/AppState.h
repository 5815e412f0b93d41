// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Application-wide state shared by the main window and its plot windows.
namespace AppState {

// True while the plot windows hold data that may be analysed: set at start-up,
// when a reception finishes and when a data file loads; cleared when an
// acquisition starts. While it is false the analysis pass computes nothing.
bool DataReady();
void setDataReady(bool ready);

} // namespace AppState
