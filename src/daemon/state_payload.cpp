// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/state_payload.h"

#include <array>
#include <vector>

#include "daemon/json_writer.h"
#include "panel/log_readings.h"
#include "panel/panel_model.h"
#include "panel/value_displays.h"

namespace tk358 {

namespace {

constexpr double kTenths = 10.0;

void OptionalNumber(JsonWriter& w, const char* key, bool usable, double value) {
    w.Key(key);
    usable ? w.Number(value) : w.Null();
}

void OptionalBool(JsonWriter& w, const char* key, bool usable, bool value) {
    w.Key(key);
    usable ? w.Bool(value) : w.Null();
}

// Temperature and set points: the readings the log line is made of.
void WriteMainReadings(JsonWriter& w, const ReadingsSnapshot& s) {
    const LogReadings r = LogReadingsOf(s, WantsTwoSetpoints(s));
    const bool link = r.connected;
    const bool temperature = link && r.temperature.valid != 0;
    OptionalNumber(w, "temperature", temperature && r.temperature.sensorError == 0,
                   r.temperature.temperature);
    OptionalBool(w, "sensorFault", temperature, r.temperature.sensorError != 0);
    const bool setpoint = link && r.setpoint.valid != 0;
    OptionalNumber(w, "setpoint", setpoint && r.setpoint.error == 0, r.setpoint.setpoint / 100.0);
    OptionalBool(w, "setpointFault", setpoint, r.setpoint.error != 0);
    const SecondSetpointShown& second = r.secondSetpoint;
    OptionalNumber(w, "setpoint2", link && second.inUse && second.valid, second.value);
}

void WriteRegulator(JsonWriter& w, const RegulatorState& r, bool usable) {
    w.Key("regulator");
    if (!usable) {
        w.Null();
        return;
    }
    w.BeginObject();
    w.Key("pv").FloatNumber(r.processValue);
    w.Key("error").FloatNumber(r.error);
    w.Key("cv").FloatNumber(r.controlValue);
    w.Key("cvLock").Bool(r.cvLock != 0);
    w.Key("loopPeriodMs").Int(static_cast<int64_t>(r.loopPeriod) * 100);
    w.Key("p").FloatNumber(r.loopTerm1);
    w.Key("i").FloatNumber(r.loopTerm2);
    w.Key("d").FloatNumber(r.loopTerm3);
    w.Key("pvDerivative1").FloatNumber(r.pvDerivative1);
    w.Key("pvDerivative2").FloatNumber(r.pvDerivative2);
    w.EndObject();
}

void WriteValve(JsonWriter& w, const ValveState& v, bool usable) {
    w.Key("valve");
    if (!usable) {
        w.Null();
        return;
    }
    w.BeginObject();
    w.Key("position").FloatNumber(v.position);
    w.Key("motorRunning").Bool(v.motorRunning != 0);
    w.Key("opening").Bool(v.opening != 0);
    w.Key("command").Int(v.commandCode);
    w.Key("commandValue").Number(v.commandValue / kTenths);
    w.Key("timer1").Number(v.timer1 / kTenths);
    w.Key("timer2").Number(v.timer2 / kTenths);
    w.EndObject();
}

void WriteDrainValve(JsonWriter& w, const DrainValveState& d, bool usable) {
    w.Key("drainValve");
    if (!usable) {
        w.Null();
        return;
    }
    w.BeginObject();
    w.Key("state").Int(d.stateCode);
    w.Key("valveOpen").Bool(d.valveOpen != 0);
    w.Key("timer1").Number(d.timer1 / kTenths);
    w.Key("timer2").Number(d.timer2 / kTenths);
    w.EndObject();
}

void WriteVentilation(JsonWriter& w, const VentilationState& v, bool usable) {
    w.Key("ventilation");
    if (!usable) {
        w.Null();
        return;
    }
    w.BeginObject();
    w.Key("fan1").Bool((v.fanBits & 1) != 0);
    w.Key("fan2").Bool((v.fanBits & 2) != 0);
    w.Key("virtualFan1").Bool((v.virtualFanBits & 1) != 0);
    w.Key("virtualFan2").Bool((v.virtualFanBits & 2) != 0);
    w.Key("timeCounter").Int(v.timeCounter);
    w.Key("periodStart").Int(v.periodStartCounter);
    w.EndObject();
}

void WriteRelays(JsonWriter& w, const RelayState& r, bool usable) {
    w.Key("relays");
    if (!usable) {
        w.Null();
        return;
    }
    w.BeginObject();
    w.Key("relay1").Bool(r.relay1 != 0);
    w.Key("relay2").Bool(r.relay2 != 0);
    w.Key("loopPeriod").Number(r.loopPeriod / kTenths);
    w.EndObject();
}

void WriteZone(JsonWriter& w, const ActiveZone& z, bool usable) {
    w.Key("zone");
    usable ? w.Int(z.zone != 0 ? 2 : 1) : w.Null();
}

// Each record is null while the link is down or the record not valid.
void RegulatorRecord(JsonWriter& w, const ReadingsSnapshot& s) {
    WriteRegulator(w, s.regulator, s.connected && s.regulator.valid);
}

void ValveRecord(JsonWriter& w, const ReadingsSnapshot& s) {
    WriteValve(w, s.valve, s.connected && s.valve.valid);
}

void DrainValveRecord(JsonWriter& w, const ReadingsSnapshot& s) {
    WriteDrainValve(w, s.drainValve, s.connected && s.drainValve.valid);
}

void VentilationRecord(JsonWriter& w, const ReadingsSnapshot& s) {
    WriteVentilation(w, s.ventilation, s.connected && s.ventilation.valid);
}

void RelaysRecord(JsonWriter& w, const ReadingsSnapshot& s) {
    WriteRelays(w, s.relay, s.connected && s.relay.valid);
}

void ZoneRecord(JsonWriter& w, const ReadingsSnapshot& s) {
    WriteZone(w, s.activeZone, s.connected && s.activeZone.valid);
}

// The dual-zone controller's two set points, as its set-point dialog shows them.
void WriteZoneSetpoints(JsonWriter& w, const ParameterSet& p, bool usable) {
    OptionalNumber(w, "zone1Setpoint", usable, p.Shown(param::kZone1Setpoint) / 100.0);
    OptionalNumber(w, "zone2Setpoint", usable, p.Shown(param::kZone2Setpoint) / 100.0);
}

void ZoneSetpointsRecord(JsonWriter& w, const ReadingsSnapshot& s) {
    WriteZoneSetpoints(w, s.parameters, s.connected && s.parameters.ReadComplete(3));
}

// The records of the panel's kind, as its service view groups them.
void WriteKindRecords(JsonWriter& w, const ReadingsSnapshot& s) {
    using RecordWriter = void (*)(JsonWriter&, const ReadingsSnapshot&);
    struct KindRecords {
        int kind;
        std::vector<RecordWriter> records;
    };
    static const std::array<KindRecords, 5> kKinds{{
        {kTemperatureController, {RegulatorRecord, ValveRecord}},
        {kDrainValveController, {RegulatorRecord, DrainValveRecord}},
        {kVentilationController, {VentilationRecord}},
        {kDualZoneController, {RegulatorRecord, ValveRecord, ZoneRecord, ZoneSetpointsRecord}},
        {kThresholdRegulator, {RelaysRecord, ZoneRecord}},
    }};
    const int kind = s.identity.identified != 0 ? int{s.identity.deviceType} : int{kUnknownDevice};
    for (const KindRecords& k : kKinds) {
        if (k.kind == kind) {
            for (const RecordWriter write : k.records) {
                write(w, s);
            }
        }
    }
}

}  // namespace

std::string FormatUtcTime(std::time_t time) {
    std::tm tm{};
    gmtime_r(&time, &tm);
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return std::string(text, n);
}

std::string BuildStatePayload(const ReadingsSnapshot& s, std::time_t now,
                              std::optional<int64_t> clockOffset) {
    JsonWriter w;
    w.BeginObject();
    w.Key("time").String(FormatUtcTime(now));
    w.Key("link").String(s.connected ? "ok" : "lost");
    const PanelIdentity& id = s.identity;
    const bool identified = id.identified != 0;
    w.Key("kind");
    identified ? w.Int(id.deviceType) : w.Null();
    w.Key("model").String(identified ? PanelModelName(id.deviceType) : "TK-358");
    w.Key("serial");
    identified&& id.noNumber == 0 ? w.Int(id.serialNumber) : w.Null();
    WriteMainReadings(w, s);
    WriteKindRecords(w, s);
    w.Key("clockOffset");
    clockOffset.has_value() && s.connected ? w.Int(*clockOffset) : w.Null();
    w.EndObject();
    return w.Text();
}

}  // namespace tk358
