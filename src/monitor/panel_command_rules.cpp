#include "monitor/panel_command_rules.h"

namespace tk358 {

RegulationChoice ChooseRegulationDialog(const PanelIdentity& identity, const PanelClock& clock) {
    RegulationChoice choice;
    if (identity.identified == 0) {
        return choice;
    }
    switch (identity.deviceType) {
        case kTemperatureController:
        case kDualZoneController:
            choice.dialog = RegulationDialog::kValve;
            break;
        case kDrainValveController:
            choice.dialog = RegulationDialog::kDrainValve;
            break;
        case kVentilationController:
            choice.dialog = RegulationDialog::kVentilation;
            break;
        case kThresholdRegulator:
            if (clock.valid == 0) {
                break;
            }
            choice.dialog = clock.clockEnabled != 0 ? RegulationDialog::kThresholdClock
                                                    : RegulationDialog::kThresholdPlain;
            choice.channelChoice = identity.firmwareVersion > 100;
            break;
        default:
            break;
    }
    return choice;
}

}  // namespace tk358
