#include "monitor/menu_state.h"

#include "link/records.h"

namespace tk358 {

PanelMenuState PanelMenuFor(int deviceType, bool clockUsable) {
    switch (deviceType) {
        case kTemperatureController:
            return {true, true, true, false};
        case kDrainValveController:
            return {false, false, true, false};
        case kDualZoneController:
            return {true, true, true, true};
        case kThresholdRegulator:
            return {false, false, false, clockUsable};
        default:
            return {false, false, false, false};
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
