// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The state message published once a second: the time, the link status, the
// panel's kind and number, the temperature and set points as the main window
// shows them, and the regulator and status records of the panel's kind.
//
//   {"time":"2026-12-08T10:15:00Z","link":"ok","kind":3,"model":"TK-358D",
//    "serial":3105,"temperature":21.5,"sensorFault":false,"setpoint":22,
//    "setpointFault":false,"setpoint2":null,"regulator":{...},"valve":{...},
//    "zone":1,"zone1Setpoint":22,"zone2Setpoint":18,"clockOffset":-3}
//
// Each key keeps one meaning for every kind: "setpoint" is the set point the
// window's set-point display shows, "setpoint2" the second display of the
// threshold regulator, "zone1Setpoint" and "zone2Setpoint" the dual-zone
// controller's two set points (its set-point dialog's values).
//
// A value is null when it is not a current measurement: the link is down, the
// reading is not valid, or its fault flag is set (the log writes "???" then).
//
// "clockOffset" is the panel clock minus the computer's in seconds
// (panel_clock_keeper.h), null when there is none.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "panel/readings_snapshot.h"

namespace tk358 {

std::string BuildStatePayload(const ReadingsSnapshot& snapshot, std::time_t now,
                              std::optional<int64_t> clockOffset = std::nullopt);

// "2026-12-08T10:15:00Z": the UTC time the payloads carry.
std::string FormatUtcTime(std::time_t time);

}  // namespace tk358
