// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/value_displays.h"

#include "link/parameter_codes.h"

namespace tk358 {

namespace {

constexpr DisplayReading kCleared{false, 0.0, true};

bool IsIdentifiedThresholdRegulator(const PanelIdentity& id) {
    return id.identified != 0 && id.deviceType == kThresholdRegulator;
}

// The threshold regulator shows its first threshold of the active zone's set:
// `dayCode` for the day set, `nightCode` for the night set. Firmware 1.00 and
// earlier has no zones and always shows the day set.
DisplayReading ThresholdSetpoint(const ReadingsSnapshot& s, int dayCode, int nightCode) {
    const bool read = s.parameters.ReadComplete(kThresholdRegulator);
    DisplayReading d{false, 0.0, !read};
    if (!read) {
        return d;
    }
    int code = dayCode;
    if (s.identity.firmwareVersion > kThresholdExtrasFirmware) {
        if (s.activeZone.valid == 0) {
            return d;
        }
        code = s.activeZone.zone != 0 ? nightCode : dayCode;
    }
    d.valid = true;
    d.value = InShownUnit(code, s.parameters.Shown(code));
    return d;
}

DisplayReading TemperatureDisplay(const TemperatureReading& t) {
    if (t.valid == 0) {
        return kCleared;
    }
    return {true, t.temperature, t.sensorError != 0};
}

DisplayReading SetpointDisplay(const SetpointReading& sp) {
    if (sp.valid == 0) {
        return kCleared;
    }
    return {true, sp.setpoint / 100.0, sp.error != 0};
}

}  // namespace

bool WantsTwoSetpoints(const ReadingsSnapshot& s) {
    return IsIdentifiedThresholdRegulator(s.identity) &&
           s.parameters.ReadComplete(kThresholdRegulator) &&
           s.parameters.Shown(param::kChannels) == 2;
}

ValueDisplayReadings ComputeValueDisplays(const ReadingsSnapshot& s, bool twoSetpoints) {
    ValueDisplayReadings r;
    if (!s.connected) {
        r.temperature = kCleared;
        r.setpoint = kCleared;
        r.setpoint2 = kCleared;
        return r;
    }
    r.temperature = TemperatureDisplay(s.temperature);
    if (IsIdentifiedThresholdRegulator(s.identity)) {
        r.setpoint = ThresholdSetpoint(s, param::kDayT1, param::kNightT1);
        if (twoSetpoints) {
            r.setpoint2 = ThresholdSetpoint(s, param::kDayT2, param::kNightT2);
        }
    } else {
        r.setpoint = SetpointDisplay(s.setpoint);
    }
    return r;
}

}  // namespace tk358
