// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/panel_menu_state.h"

#include "link/records.h"

namespace tk358 {

PanelMenuState PanelMenuFor(int deviceType, bool clockUsable) {
    switch (deviceType) {
        case kTemperatureController:
            return {true, true, true, false, true};
        case kDrainValveController:
            return {false, false, true, false, true};
        case kVentilationController:
            return {false, false, false, false, true};
        case kDualZoneController:
            return {true, true, true, true, true};
        case kThresholdRegulator:
            return {false, false, false, clockUsable, true};
        default:
            return {false, false, false, false, false};
    }
}

bool PanelMenuTracker::Update(int deviceType, bool clockUsable) {
    if (deviceType == lastDeviceType_ && clockUsable == lastClockUsable_) {
        return false;
    }
    lastDeviceType_ = deviceType;
    lastClockUsable_ = clockUsable;
    return true;
}

}  // namespace tk358
