// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/log_readings.h"

#include <cmath>

#include "panel/value_displays.h"

namespace tk358 {

LogReadings LogReadingsOf(const ReadingsSnapshot& snapshot, bool twoSetpoints) {
    LogReadings r;
    r.connected = snapshot.connected;
    r.temperature = snapshot.temperature;
    r.setpoint = snapshot.setpoint;
    const bool thresholdRegulator =
        snapshot.identity.identified != 0 && snapshot.identity.deviceType == kThresholdRegulator;
    if (!twoSetpoints && !thresholdRegulator) {
        return r;
    }
    const ValueDisplayReadings shown = ComputeValueDisplays(snapshot, twoSetpoints);
    if (thresholdRegulator) {
        // A threshold regulator sends no set-point line: its set point is the
        // threshold its display shows, read from the parameters.
        SetpointReading fromDisplay;
        fromDisplay.valid = shown.setpoint.valid ? 1 : 0;
        fromDisplay.setpoint = static_cast<int32_t>(std::lround(shown.setpoint.value * 100.0));
        r.setpoint = fromDisplay;
    }
    if (twoSetpoints && shown.setpoint2) {
        r.secondSetpoint = {true, shown.setpoint2->valid, shown.setpoint2->value};
    }
    return r;
}

}  // namespace tk358
