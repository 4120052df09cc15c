// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Geometry of the main window: the status indicator and line, the service
// group of the current device type, and the three value displays, computed
// from the client size on every resize.

#include <optional>
#include <vector>

#include "present/service_fields.h"

namespace tk358 {

// Client-area pixels; right and bottom are exclusive, as in
// QRect(left, top, Width(), Height()). Width and height are never negative.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct MainLayoutInput {
    int clientWidth = 0;
    int clientHeight = 0;
    int margin = 6;   // the window frame width; clamped to 6..20
    double unit = 1;  // pixels per horizontal dialog unit
    int statusEditHeight = 0;
    int deviceType = kUnknownDevice;
    bool serviceView = false;
    bool twoSetpoints = false;
};

// The margin used for a window frame of `frameWidth` pixels.
int ClampMargin(int frameWidth);

struct BoxPlacement {
    ServiceBox box;
    Rect rect;
};

struct FieldPlacement {
    ServiceField field;
    Rect label;
    Rect edit;
};

struct MainLayout {
    Rect indicator;
    Rect statusLine;
    std::vector<BoxPlacement> boxes;     // empty when the service view is off
    std::vector<FieldPlacement> fields;  // the shown group's fields
    Rect temperature;
    std::optional<Rect> setpoint;   // absent for the ventilation controller
    std::optional<Rect> setpoint2;  // threshold regulator with two set points only
};

MainLayout ComputeMainLayout(const MainLayoutInput& in);

}  // namespace tk358
