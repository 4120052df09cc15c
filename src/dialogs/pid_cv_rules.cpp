#include "dialogs/pid_cv_rules.h"

#include "link/parameter_codes.h"

namespace tk358 {

PidCodes PidCodesFor(int deviceType, int zone) {
    using namespace param;
    if (deviceType != kDualZoneController) {
        return {kKp, kTi, kTd, kTa};
    }
    return zone != 0 ? PidCodes{kZone2Kp, kZone2Ti, kZone2Td, kZone2Ta}
                     : PidCodes{kZone1Kp, kZone1Ti, kZone1Td, kZone1Ta};
}

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
