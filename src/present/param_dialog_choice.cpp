// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/param_dialog_choice.h"

#include "link/parameter_codes.h"

namespace tk358 {

ParamDialogChoice ChooseParamDialog(const PanelIdentity& identity, const PanelClock& clock) {
    ParamDialogChoice choice;
    if (identity.identified == 0) {
        return choice;
    }
    switch (identity.deviceType) {
        case kTemperatureController:
        case kDualZoneController:
            choice.dialog = ParamDialog::Param;
            break;
        case kDrainValveController:
            choice.dialog = ParamDialog::ParamZ;
            break;
        case kVentilationController:
            choice.dialog = ParamDialog::ParamA;
            break;
        case kThresholdRegulator:
            if (clock.valid == 0) {
                break;
            }
            choice.dialog = clock.clockEnabled != 0 ? ParamDialog::ParamCTime : ParamDialog::ParamC;
            // Older firmware has one channel set only.
            choice.channelChoice = identity.firmwareVersion > kThresholdExtrasFirmware;
            break;
        default:
            break;
    }
    return choice;
}

}  // namespace tk358
