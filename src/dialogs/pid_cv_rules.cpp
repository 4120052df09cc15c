#include "dialogs/pid_cv_rules.h"

namespace tk358 {

PidCodes PidCodesFor(int deviceType, int zone) {
    if (deviceType != kDualZoneController) {
        return {1, 6, 7, 8};
    }
    return zone != 0 ? PidCodes{133, 134, 135, 136} : PidCodes{128, 129, 130, 131};
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

bool CvInRange(double cv) {
    return cv >= kCvMin && cv <= kCvMax;
}

}  // namespace tk358
