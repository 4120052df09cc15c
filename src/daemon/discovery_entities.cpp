// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/discovery_entities.h"

#include <initializer_list>
#include <iterator>

#include "link/records.h"

namespace tk358 {

namespace {

constexpr unsigned Kinds(std::initializer_list<int> kinds) {
    unsigned mask = 0;
    for (int kind : kinds) {
        mask |= 1u << kind;
    }
    return mask;
}

constexpr unsigned kPanels = Kinds({0, 1, 2, 3, 4});
constexpr unsigned kOwn = kPanels | Kinds({kUnknownDevice});
constexpr unsigned kRegulators = Kinds({0, 1, 3});
constexpr unsigned kValves = Kinds({0, 3});
constexpr unsigned kSetpoints = Kinds({0, 1, 3, 4});
constexpr unsigned kClocks = Kinds({3, 4});

using S = EntityShape;
using From = EntitySource;

// A value inside a record of the state message, unknown while the record is null.
#define TK358_IN(record, key) \
    "{{ value_json." record "." key " if value_json." record " else None }}"
#define TK358_ON_OFF(value) \
    "{{ None if (" value ") is none else ('ON' if (" value ") else 'OFF') }}"
#define TK358_ON_OFF_IN(record, key) \
    TK358_ON_OFF("value_json." record "." key " if value_json." record " else None")

const DiscoveryEntity kEntities[] = {
    {"temperature", "Temperatura", S::kTemperature, nullptr, "{{ value_json.temperature }}",
     kPanels, 0, nullptr, From::kState, false, true},
    {"sensor_fault", "Błąd czujnika", S::kOnOff, "problem", TK358_ON_OFF("value_json.sensorFault"),
     kPanels, 0, nullptr, From::kState, false, true},
    {"link", "Komunikacja z panelem", S::kOnOff, "connectivity",
     "{{ 'ON' if value_json.link == 'ok' else 'OFF' }}", kOwn, 0, nullptr, From::kState, true,
     true},
    {"setpoint", "Wartość zadana", S::kSetpoint, nullptr, "{{ value_json.setpoint }}", kSetpoints,
     Kinds({0, 1}), &rules::kSetpoint, From::kState, false, true},
    {"zone1_setpoint", "Wartość zadana 1", S::kSetpoint, nullptr, "{{ value_json.zone1Setpoint }}",
     Kinds({3}), Kinds({3}), &rules::kZone1Setpoint, From::kState, false, true},
    {"zone2_setpoint", "Wartość zadana 2", S::kSetpoint, nullptr, "{{ value_json.zone2Setpoint }}",
     Kinds({3}), Kinds({3}), &rules::kZone2Setpoint, From::kState, false, true},
    {"setpoint2", "Wartość zadana 2", S::kSetpoint, nullptr, "{{ value_json.setpoint2 }}",
     Kinds({4}), 0, nullptr, From::kState, false, true},
    {"setpoint_fault", "Błąd wartości zadanej", S::kOnOff, "problem",
     TK358_ON_OFF("value_json.setpointFault"), kSetpoints, 0, nullptr, From::kState, false, false},
    {"cv", "Wyjście regulatora CV", S::kPercent, nullptr, TK358_IN("regulator", "cv"), kRegulators,
     0, nullptr, From::kState, false, true},
    {"manual_mode", "Praca ręczna (blokada CV)", S::kOnOff, nullptr,
     TK358_ON_OFF_IN("regulator", "cvLock"), kRegulators, 0, nullptr, From::kState, false, true},
    {"valve_position", "Położenie zaworu", S::kPercent, nullptr, TK358_IN("valve", "position"),
     kValves, 0, nullptr, From::kState, false, true},
    {"valve_motor", "Silnik zaworu", S::kOnOff, "running", TK358_ON_OFF_IN("valve", "motorRunning"),
     kValves, 0, nullptr, From::kState, false, false},
    {"drain_valve", "Zawór zrzutowy", S::kOnOff, "opening",
     TK358_ON_OFF_IN("drainValve", "valveOpen"), Kinds({1}), 0, nullptr, From::kState, false, true},
    {"fan1", "Wentylator 1", S::kOnOff, "running", TK358_ON_OFF_IN("ventilation", "fan1"),
     Kinds({2}), 0, nullptr, From::kState, false, true},
    {"fan2", "Wentylator 2", S::kOnOff, "running", TK358_ON_OFF_IN("ventilation", "fan2"),
     Kinds({2}), 0, nullptr, From::kState, false, true},
    {"relay1", "Przekaźnik 1", S::kOnOff, "power", TK358_ON_OFF_IN("relays", "relay1"), Kinds({4}),
     0, nullptr, From::kState, false, true},
    {"relay2", "Przekaźnik 2", S::kOnOff, "power", TK358_ON_OFF_IN("relays", "relay2"), Kinds({4}),
     0, nullptr, From::kState, false, true},
    {"zone", "Strefa", S::kZone, nullptr, nullptr, Kinds({3, 4}), 0, nullptr, From::kState, false,
     true},
    {"probe_calibration_error", "Błąd kalibracji sondy", S::kOnOff, "problem",
     TK358_ON_OFF_IN("probe", "calibrationError"), kPanels, 0, nullptr, From::kInfo, true, false},
    {"clock_offset", "Odchyłka zegara panelu", S::kOffset, nullptr,
     "{{ value_json.get('clockOffset') }}", kClocks, 0, nullptr, From::kState, true, true},
    {"last_answer", "Ostatnia odpowiedź panelu", S::kTimestamp, nullptr,
     "{{ value_json.lastAnswer }}", kOwn, 0, nullptr, From::kHealth, true, true},
    {"log_state", "Zapis pliku rejestracji", S::kLogState, nullptr, "{{ value_json.log }}", kOwn, 0,
     nullptr, From::kHealth, true, true},
    {"broker_refusals", "Odmowy brokera", S::kCount, nullptr, "{{ value_json.refusals }}", kOwn, 0,
     nullptr, From::kHealth, true, true},
    {"uptime", "Czas pracy tk358d", S::kUptime, nullptr, "{{ value_json.uptime }}", kOwn, 0,
     nullptr, From::kHealth, true, true},
};

#undef TK358_IN
#undef TK358_ON_OFF
#undef TK358_ON_OFF_IN

}  // namespace

std::span<const DiscoveryEntity> DiscoveryEntities() {
    return {std::begin(kEntities), std::end(kEntities)};
}

bool KindHas(unsigned kinds, int kind) {
    return kind >= 0 && kind < 32 && (kinds & (1u << kind)) != 0;
}

std::pair<const char*, const char*> ZoneNames(int kind) {
    // The threshold regulator's first zone is its day set, the second its night set.
    if (kind == kThresholdRegulator) {
        return {"strefa dzienna", "strefa nocna"};
    }
    return {"Strefa 1", "Strefa 2"};
}

}  // namespace tk358
