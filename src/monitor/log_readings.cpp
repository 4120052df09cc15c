#include "monitor/log_readings.h"

#include "monitor/value_displays.h"

namespace tk358 {

LogReadings LogReadingsOf(const ReadingsSnapshot& snapshot, bool twoSetpoints) {
    LogReadings r;
    r.connected = snapshot.connected;
    r.temperature = snapshot.temperature;
    r.setpoint = snapshot.setpoint;
    if (!twoSetpoints) {
        return r;
    }
    const ValueDisplayReadings shown = ComputeValueDisplays(snapshot, true);
    if (shown.setpoint2) {
        r.secondSetpoint = {true, shown.setpoint2->valid, shown.setpoint2->value};
    }
    return r;
}

}  // namespace tk358
