// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QWidget;

// The main window's placement, kept in the settings in twips (1/1440 inch) as
// "MainLeft", "MainTop", "MainWidth" and "MainHeight" of section "Settings".
namespace WindowPlacement {

constexpr float DefaultLeft = 1000, DefaultTop = 1000, DefaultWidth = 11400, DefaultHeight = 8100;

// Reads the four values (text that is not a positive number falls back to its
// default), converts them to pixels and moves the window onto a screen if the
// stored place is off every screen.
void restore(QWidget &window);
// Writes the window's current placement; a minimised window writes nothing.
void save(const QWidget &window);

// Pixels per twip on the primary screen.
double pixelsPerTwip();

} // namespace WindowPlacement
