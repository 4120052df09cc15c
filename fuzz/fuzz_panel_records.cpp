// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes from the panel through the session's own line cutter and
// decoders into its records: no line, however malformed, may read or write
// out of bounds, overflow, or leave a record the program cannot show.

#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "link/panel_session.h"

namespace {

using tk358::fuzz::Check;

bool IsFlag(uint8_t value) {
    return value == 0 || value == 1;
}

void CheckRecords(const tk358::PanelSession& session) {
    tk358::PanelIdentity identity;
    tk358::TemperatureReading temperature;
    tk358::SetpointReading setpoint;
    tk358::RegulatorState regulator;
    tk358::ValveState valve;
    tk358::DrainValveState drain;
    tk358::VentilationState ventilation;
    tk358::ActiveZone zone;
    tk358::RelayState relay;
    tk358::PanelClock clock;
    tk358::PanelInfo info;
    tk358::ParameterSet parameters;
    session.GetIdentity(identity);
    session.GetTemperature(temperature);
    session.GetSetpointReading(setpoint);
    session.GetRegulatorState(regulator);
    session.GetValveState(valve);
    session.GetDrainValveState(drain);
    session.GetVentilationState(ventilation);
    session.GetActiveZone(zone);
    session.GetRelayState(relay);
    session.GetPanelClock(clock);
    session.GetPanelInfo(info);
    session.GetParameters(parameters);
    Check(identity.deviceType <= tk358::kUnknownDevice, "device type");
    Check(IsFlag(identity.identified), "identified flag");
    for (const uint8_t valid :
         {temperature.valid, setpoint.valid, regulator.valid, valve.valid, drain.valid,
          ventilation.valid, zone.valid, relay.valid, clock.valid, info.valid}) {
        Check(IsFlag(valid), "valid flag");
    }
    if (clock.valid != 0) {
        const tk358::SystemTime& t = clock.time;
        Check(t.year >= 2000 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
                  t.hour < 24 && t.minute < 60 && t.second < 60 && t.dayOfWeek < 7,
              "panel clock fields in range");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Never opened: no port and no poll thread, only the receiving half.
    tk358::PanelSession session;
    for (std::size_t i = 0; i < size; ++i) {
        session.OnByteReceived(static_cast<char>(data[i]));
    }
    CheckRecords(session);
    return 0;
}
