// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Settings <-> the main window's widgets: colours and fonts of a value display
// and the window rectangle.

#include <QRect>

class QWidget;

#include "settings/app_settings.h"

namespace tk358 {

class ValueDisplay;

// Colours and the four stored font fields (height, face name, italic,
// weight); the font's other fields keep the display's own values.
void ApplyDisplaySettings(const DisplaySettings& settings, ValueDisplay& display);

// The display's colours and stored font fields; `log` is carried over as it
// is not the display's.
DisplaySettings ReadDisplaySettings(const ValueDisplay& display, bool log);

// The stored rectangle keeps the window's outer top-left corner and its inner
// size: the window manager's frame is not the program's, so a window placed
// from a stored rectangle and stored again keeps it. The placement is brought
// onto the available area of `window`'s screen and kept within its minimum
// size (see PlaceStoredWindow).
QRect PlacementOf(const WindowRect& rect, const QWidget& window);
WindowRect WindowRectOf(const QPoint& outerTopLeft, const QSize& innerSize);

}  // namespace tk358
