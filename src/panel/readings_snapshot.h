// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One tick's copy of everything the window presents.

#include "link/panel_access.h"
#include "link/parameter_set.h"
#include "link/records.h"

namespace tk358 {

struct ReadingsSnapshot {
    bool connected = false;
    PanelIdentity identity;
    TemperatureReading temperature;
    SetpointReading setpoint;
    RegulatorState regulator;
    ParameterSet parameters;
    ValveState valve;
    DrainValveState drainValve;
    VentilationState ventilation;
    // Copied only for the dual-zone controller and the threshold regulator
    // (relay state only for the latter); otherwise left not valid.
    ActiveZone activeZone;
    RelayState relay;
    PanelClock clock;

    // Equal snapshots present the same: a tick that copies what the last one
    // did has nothing new to show.
    friend bool operator==(const ReadingsSnapshot&, const ReadingsSnapshot&) = default;
};

// Copies every record, each by its own call: link status, identity,
// temperature, set point, regulator state, parameters, valve, drain valve,
// ventilation; then by the identity just copied: type 3 active zone and clock,
// type 4 active zone, relay state and clock.
ReadingsSnapshot TakeSnapshot(const PanelAccess& panel);

}  // namespace tk358
