// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/pid_cv_rules.h"

namespace tk358 {

bool PidReadable(int deviceType, const ParameterSet& parameters) {
    return (deviceType == kTemperatureController || deviceType == kDualZoneController) &&
           parameters.ReadComplete(deviceType);
}

bool CvReadable(const PanelIdentity& identity, const RegulatorState& regulator) {
    const bool kindHasCv =
        identity.deviceType == kTemperatureController || identity.deviceType == kDualZoneController;
    return identity.identified != 0 && kindHasCv && regulator.valid != 0;
}

}  // namespace tk358
