// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QWidget;

// The main window's placement, kept in the settings in twips (1/1440 inch) as
// "MainLeft", "MainTop", "MainWidth" and "MainHeight" of section "Settings".
namespace WindowPlacement {

// The first start's placement: room for the graph beside the controls
// (1200 x 750 pixels at 96 dots per inch).
constexpr float DefaultLeft = 1000, DefaultTop = 1000, DefaultWidth = 18000, DefaultHeight = 11250;

// Reads the four values, converts them to pixels and moves the window onto a
// screen if the stored place is off every screen. A value that is absent, or
// text that is not a positive number, is taken from defaultGeometry().
void restore(QWidget &window);
// Writes the window's current placement; a minimised window writes nothing.
void save(const QWidget &window);

// The default placement in pixels, made smaller and moved where the primary
// screen's free area is too small for it, leaving room for the window's frame.
QRect defaultGeometry();

// Pixels per twip on the primary screen.
double pixelsPerTwip();

} // namespace WindowPlacement
