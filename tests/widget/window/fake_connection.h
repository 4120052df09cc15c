#pragma once

// A panel link whose records the test sets; opening and closing are logged,
// and opening succeeds for the ports the test allows.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "link/panel_connection.h"
#include "support/refusing_writes.h"

namespace tk358::test {

class FakeConnection final : public RefusingWrites<PanelConnection> {
public:
    int linkStatus = kStatusFailed;
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
    int infoStatus = kStatusOk;
    ParameterSet parameters;

    std::set<int> openable;  // ports that open
    int openError = 2;       // errno for the others (ENOENT)
    std::function<void(int)> onOpen;
    std::vector<std::string> events;  // "open N", "close"
    mutable int identityReads = 0;

    bool Open(int port) override {
        events.push_back("open " + std::to_string(port));
        if (onOpen) {
            onOpen(port);
        }
        lastError_ = openable.count(port) != 0 ? 0 : openError;
        return lastError_ == 0;
    }
    void Close() override { events.emplace_back("close"); }
    int LastOpenError() const override { return lastError_; }

    int GetLinkStatus() const override { return linkStatus; }
    int GetIdentity(PanelIdentity& out) const override {
        ++identityReads;
        return Copy(identity, out);
    }
    int GetTemperature(TemperatureReading& out) const override { return Copy(temperature, out); }
    int GetSetpointReading(SetpointReading& out) const override { return Copy(setpoint, out); }
    int GetRegulatorState(RegulatorState& out) const override { return Copy(regulator, out); }
    int GetValveState(ValveState& out) const override { return Copy(valve, out); }
    int GetDrainValveState(DrainValveState& out) const override { return Copy(drainValve, out); }
    int GetVentilationState(VentilationState& out) const override { return Copy(ventilation, out); }
    int GetActiveZone(ActiveZone& out) const override { return Copy(activeZone, out); }
    int GetRelayState(RelayState& out) const override { return Copy(relay, out); }
    int GetPanelClock(PanelClock& out) const override { return Copy(clock, out); }
    int GetPanelInfo(PanelInfo& out) const override {
        out = info;
        return infoStatus;
    }
    int GetParameters(ParameterSet& out) const override { return Copy(parameters, out); }

    // A connected, identified panel of `type` whose records are all valid.
    void Connect(uint8_t type, uint16_t number = 12) {
        linkStatus = kStatusOk;
        identity.identified = 1;
        identity.deviceType = type;
        identity.serialNumber = number;
        identity.hardwareVariant = 1;
        identity.firmwareVersion = 105;
        temperature = {21.5, 0, 1};
        setpoint = {2250, 0, 0, 0, 0, 1};
        regulator.valid = 1;
        valve.valid = 1;
        drainValve.valid = 1;
        ventilation.valid = 1;
        activeZone = {0, 1};
        relay.valid = 1;
        parameters.SetReadComplete(type < ParameterSet::kKindCount ? type : 0);
    }

private:
    template <typename T>
    int Copy(const T& record, T& out) const {
        out = record;
        return linkStatus;
    }
    int lastError_ = 0;
};

}  // namespace tk358::test
