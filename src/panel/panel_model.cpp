// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/panel_model.h"

namespace tk358 {

const char* PanelModelName(int deviceType) {
    switch (deviceType) {
        case kDualZoneController:
            return "TK-358D";
        case kThresholdRegulator:
            return "TK-358C";
        case kVentilationController:
            return "TK-358W";
        default:
            return "TK-358";
    }
}

bool IsUnsupportedPanel(const PanelIdentity& identity) {
    const unsigned variant = identity.hardwareVariant;
    return identity.identified != 0 && variant > 1 && variant != 3 && variant != 5;
}

}  // namespace tk358
