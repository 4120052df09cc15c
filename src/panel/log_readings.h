// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The readings a log line is made of, taken from the window's last snapshot.

#include "log/log_line.h"
#include "panel/readings_snapshot.h"

namespace tk358 {

// Temperature and set point as the session last reported them (for a
// threshold regulator, which sends no set point, the set point its display
// shows); the second set point as the second display shows it while that
// display is in use (`twoSetpoints`), otherwise the line repeats the set point
// in its column.
LogReadings LogReadingsOf(const ReadingsSnapshot& snapshot, bool twoSetpoints);

}  // namespace tk358
