#pragma once

// A PanelAccess that hands out fixed records and records the order of the
// getter calls.

#include <string>
#include <vector>

#include "link/panel_access.h"
#include "support/refusing_writes.h"

namespace tk358 {

class RecordingPanel : public test::RefusingWrites<PanelAccess> {
public:
    int linkStatus = kStatusOk;
    PanelIdentity identity;
    TemperatureReading temperature;
    SetpointReading setpoint;
    RegulatorState regulator;
    ValveState valve;
    DrainValveState drainValve;
    VentilationState ventilation;
    ActiveZone activeZone;
    RelayState relay;
    PanelClock clock;
    PanelInfo info;
    ParameterSet parameters;
    mutable std::vector<std::string> calls;

    int GetLinkStatus() const override { return Record("link", linkStatus); }
    int GetIdentity(PanelIdentity& out) const override { return Copy("identity", identity, out); }
    int GetTemperature(TemperatureReading& out) const override {
        return Copy("temperature", temperature, out);
    }
    int GetSetpointReading(SetpointReading& out) const override {
        return Copy("setpoint", setpoint, out);
    }
    int GetRegulatorState(RegulatorState& out) const override {
        return Copy("regulator", regulator, out);
    }
    int GetValveState(ValveState& out) const override { return Copy("valve", valve, out); }
    int GetDrainValveState(DrainValveState& out) const override {
        return Copy("drain", drainValve, out);
    }
    int GetVentilationState(VentilationState& out) const override {
        return Copy("ventilation", ventilation, out);
    }
    int GetActiveZone(ActiveZone& out) const override { return Copy("zone", activeZone, out); }
    int GetRelayState(RelayState& out) const override { return Copy("relay", relay, out); }
    int GetPanelClock(PanelClock& out) const override { return Copy("clock", clock, out); }
    int GetPanelInfo(PanelInfo& out) const override { return Copy("info", info, out); }
    int GetParameters(ParameterSet& out) const override {
        return Copy("parameters", parameters, out);
    }

private:
    int Record(const char* name, int status) const {
        calls.emplace_back(name);
        return status;
    }
    template <typename T>
    int Copy(const char* name, const T& record, T& out) const {
        out = record;
        return Record(name, linkStatus);
    }
};

}  // namespace tk358
