// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class AcquisitionPanel;
class NuvarDriverClass;
class frmPlot;

// The user's choices kept in the per-user settings from one run to the next:
// the board settings a driver offers by name (section "Board"), the sample
// count, rate and mode ("Acquisition"), and the plot window's FFT options,
// data format, view and graph styles ("Plot"). A stored value that is refused
// leaves the default in place; each restore returns one note per refusal.
namespace RememberedSettings {

// Sets the panel's fields, gives the plot window's document the stored
// options and shows the stored view, analysed with them.
QStringList restoreWindow(AcquisitionPanel &panel, frmPlot &plot);
// Gives a driver that offers named settings the stored ones.
QStringList restoreDriver(NuvarDriverClass &driver);
// Stores the choices as the panel, the plot window and the driver hold them;
// a missing plot window or driver stores nothing of its own.
void save(AcquisitionPanel &panel, frmPlot *plot, NuvarDriverClass *driver);

} // namespace RememberedSettings
