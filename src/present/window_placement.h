// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where a window restored from a stored rectangle goes: never larger than the
// screen, never smaller than the window allows, and placed so that it lies on
// the screen with its title bar in reach. Stored rectangles are whatever the
// settings file says, extremes included, so all of it is computed in 64 bits.

#include "settings/app_settings.h"

namespace tk358 {

// The screen area windows may use (without panels and docks), in screen pixels.
struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The window's outer top-left corner and its inner size.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// The stored rectangle keeps the outer top-left corner and the inner size
// (right - left by bottom - top). The size is brought into [minimum, screen]
// (the minimum wins on a screen too small for it, and is at least 1); the
// corner then moves as little as needed for the whole window to fit, or to the
// area's top-left corner when it is larger than the area.
WindowPlacement PlaceStoredWindow(const WindowRect& stored, const ScreenArea& area, int minWidth,
                                  int minHeight);

// The rectangle to store for a window placed as `placement` (right and bottom
// saturate at the int32 range).
WindowRect StoredRectOf(const WindowPlacement& placement);

}  // namespace tk358
