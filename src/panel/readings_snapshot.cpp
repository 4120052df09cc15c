// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/readings_snapshot.h"

namespace tk358 {

ReadingsSnapshot TakeSnapshot(const PanelAccess& panel) {
    // The getters' statuses repeat the link status; only the first one counts.
    ReadingsSnapshot s;
    s.connected = panel.GetLinkStatus() == kStatusOk;
    panel.GetIdentity(s.identity);
    panel.GetTemperature(s.temperature);
    panel.GetSetpointReading(s.setpoint);
    panel.GetRegulatorState(s.regulator);
    panel.GetParameters(s.parameters);
    panel.GetValveState(s.valve);
    panel.GetDrainValveState(s.drainValve);
    panel.GetVentilationState(s.ventilation);
    if (s.identity.deviceType == kDualZoneController) {
        panel.GetActiveZone(s.activeZone);
        panel.GetPanelClock(s.clock);
    } else if (s.identity.deviceType == kThresholdRegulator) {
        panel.GetActiveZone(s.activeZone);
        panel.GetRelayState(s.relay);
        panel.GetPanelClock(s.clock);
    }
    return s;
}

}  // namespace tk358
