// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the three large value displays show on one tick: temperature, set
// point and second set point.

#include <optional>

#include "panel/readings_snapshot.h"

namespace tk358 {

struct DisplayReading {
    bool valid = false;  // false: the display is cleared ("???")
    double value = 0.0;
    bool alarm = true;  // blinking

    friend bool operator==(const DisplayReading&, const DisplayReading&) = default;
};

struct ValueDisplayReadings {
    DisplayReading temperature;
    DisplayReading setpoint;
    // Set only while the second set-point display is in use (or the link is
    // down, when all three are cleared); otherwise the display is left alone.
    std::optional<DisplayReading> setpoint2;
};

// The second set-point display is in use for an identified threshold
// regulator whose parameters are read and whose active channels are 2.
bool WantsTwoSetpoints(const ReadingsSnapshot& s);

// `twoSetpoints` is the window's current use of the second display.
ValueDisplayReadings ComputeValueDisplays(const ReadingsSnapshot& s, bool twoSetpoints);

}  // namespace tk358
