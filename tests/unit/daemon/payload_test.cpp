// SPDX-License-Identifier: GPL-3.0-or-later
// The broker's payloads: JSON text, the state message from a snapshot and the
// info message.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "daemon/info_payload.h"
#include "daemon/json_writer.h"
#include "daemon/state_payload.h"
#include "support/json_value.h"

namespace tk358 {
namespace {

using test::JsonValue;

TEST(JsonWriter, QuotesTextSoThatItAlwaysParses) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line\r\nnext\ttab", "\"line\\r\\nnext\\ttab\""},
        {std::string("\x01\x1f", 2), "\"\\u0001\\u001f\""},
        {"Wartość °C", "\"Wartość °C\""},
        {"\xff\xfe", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // not UTF-8
        {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // overlong '/'
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // surrogate
        {"ab\xC5", "\"ab\xEF\xBF\xBD\""},                              // cut inside a character
    };
    for (const auto& [text, quoted] : cases) {
        EXPECT_EQ(JsonQuote(text), quoted);
    }
}

TEST(JsonWriter, PlacesCommasAndWritesNumbersWithoutLocale) {
    JsonWriter w;
    w.BeginObject();
    w.Key("a").Number(21.5);
    w.Key("b").Number(-0.04);
    w.Key("c").FloatNumber(static_cast<float>(0.1));
    w.Key("d").Number(std::numeric_limits<double>::quiet_NaN());
    w.Key("e").Number(std::numeric_limits<double>::infinity());
    w.Key("f").BeginArray().Int(1).Null().Bool(false).BeginObject().EndObject().EndArray();
    w.Key("g").BeginObject().Key("h").String("x").EndObject();
    w.Key("i").Number(2350 / 100.0);
    w.EndObject();
    EXPECT_EQ(w.Text(), R"({"a":21.5,"b":-0.04,"c":0.1,"d":null,"e":null,"f":[1,null,false,{}],)"
                        R"("g":{"h":"x"},"i":23.5})");
}

// A dual-zone panel with every record of its kind valid.
ReadingsSnapshot DualZone() {
    ReadingsSnapshot s;
    s.connected = true;
    s.identity.identified = 1;
    s.identity.deviceType = kDualZoneController;
    s.identity.serialNumber = 3105;
    s.identity.firmwareVersion = 107;
    s.temperature = {21.37, 0, 1};
    s.setpoint.setpoint = 2250;
    s.setpoint.valid = 1;
    s.regulator.processValue = static_cast<float>(21.37);
    s.regulator.cvLock = 1;
    s.regulator.loopPeriod = 10;
    s.regulator.valid = 1;
    s.valve.position = 42.5;
    s.valve.commandCode = 3;
    s.valve.timer1 = 15;
    s.valve.valid = 1;
    s.activeZone = {1, 1};
    return s;
}

JsonValue Parsed(const std::string& text) {
    const std::optional<JsonValue> value = JsonValue::Parse(text);
    EXPECT_TRUE(value) << text;
    return value.value_or(JsonValue());
}

TEST(StatePayload, CarriesTheReadingsOfTheKind) {
    const JsonValue s = Parsed(BuildStatePayload(DualZone(), 1796726100));
    EXPECT_EQ(s["time"].String(), "2026-12-08T10:35:00Z");
    EXPECT_EQ(s["link"].String(), "ok");
    EXPECT_EQ(s["kind"].Number(), 3);
    EXPECT_EQ(s["model"].String(), "TK-358D");
    EXPECT_EQ(s["serial"].Number(), 3105);
    EXPECT_EQ(s["temperature"].Number(), 21.37);
    EXPECT_FALSE(s["sensorFault"].Bool());
    EXPECT_EQ(s["setpoint"].Number(), 22.5);
    EXPECT_TRUE(s["setpoint2"].IsNull());
    EXPECT_EQ(s["regulator"]["pv"].Number(), 21.37);
    EXPECT_TRUE(s["regulator"]["cvLock"].Bool());
    EXPECT_EQ(s["regulator"]["loopPeriodMs"].Number(), 1000);
    EXPECT_EQ(s["valve"]["position"].Number(), 42.5);
    EXPECT_EQ(s["valve"]["timer1"].Number(), 1.5);
    EXPECT_EQ(s["zone"].Number(), 2);
    EXPECT_FALSE(s.Has("relays"));
    EXPECT_FALSE(s.Has("drainValve"));
}

struct NullCase {
    const char* label;
    void (*change)(ReadingsSnapshot&);
    std::vector<const char*> nulls;
    std::vector<const char*> present;
};

TEST(StatePayload, NullWhereTheReadingIsNotCurrent) {
    const NullCase cases[] = {
        {"link lost",
         [](ReadingsSnapshot& s) { s.connected = false; },
         {"temperature", "sensorFault", "setpoint", "setpointFault", "regulator", "valve", "zone"},
         {"serial"}},
        {"temperature not valid",
         [](ReadingsSnapshot& s) { s.temperature.valid = 0; },
         {"temperature", "sensorFault"},
         {"setpoint", "regulator"}},
        {"sensor fault",
         [](ReadingsSnapshot& s) { s.temperature.sensorError = 1; },
         {"temperature"},
         {"sensorFault", "setpoint"}},
        {"set-point fault",
         [](ReadingsSnapshot& s) { s.setpoint.error = 1; },
         {"setpoint"},
         {"setpointFault", "temperature"}},
        {"records not valid",
         [](ReadingsSnapshot& s) {
             s.regulator.valid = 0;
             s.valve.valid = 0;
             s.activeZone.valid = 0;
         },
         {"regulator", "valve", "zone"},
         {"temperature"}},
        {"not identified",
         [](ReadingsSnapshot& s) { s.identity.identified = 0; },
         {"kind", "serial"},
         {"temperature"}},
    };
    for (const NullCase& c : cases) {
        ReadingsSnapshot snapshot = DualZone();
        c.change(snapshot);
        const JsonValue s = Parsed(BuildStatePayload(snapshot, 0));
        for (const char* key : c.nulls) {
            EXPECT_TRUE(s.Has(key) && s[key].IsNull()) << c.label << ": " << key;
        }
        for (const char* key : c.present) {
            EXPECT_FALSE(s[key].IsNull()) << c.label << ": " << key;
        }
    }
}

TEST(StatePayload, ThresholdRegulatorShowsItsTwoThresholdsAsSetPoints) {
    ReadingsSnapshot s;
    s.connected = true;
    s.identity.identified = 1;
    s.identity.deviceType = kThresholdRegulator;
    s.identity.firmwareVersion = 107;
    s.temperature = {5.0, 0, 1};
    s.parameters.Store(90, 215);  // day T1, tenths
    s.parameters.Store(91, -15);  // day T2
    s.parameters.Store(165, 2);   // two active channels
    s.parameters.SetReadComplete(kThresholdRegulator);
    s.activeZone = {0, 1};
    s.relay = {1, 0, 12, 1};
    const JsonValue j = Parsed(BuildStatePayload(s, 0));
    EXPECT_EQ(j["setpoint"].Number(), 21.5);
    EXPECT_EQ(j["setpoint2"].Number(), -1.5);
    EXPECT_TRUE(j["relays"]["relay1"].Bool());
    EXPECT_EQ(j["relays"]["loopPeriod"].Number(), 1.2);
    EXPECT_EQ(j["zone"].Number(), 1);
    EXPECT_FALSE(j.Has("regulator"));
}

TEST(InfoPayload, TellsTheIdentificationAndTheProbe) {
    InfoSource source{"line1", "COM3", DualZone().identity, {}};
    source.identity.hardwareVariant = 5;
    source.info.probeSerialNumber = 6699;
    source.info.calibrationYear = 2011;
    source.info.calibrationMonth = 3;
    source.info.valid = 1;
    const JsonValue j = Parsed(BuildInfoPayload(source));
    EXPECT_EQ(j["name"].String(), "line1");
    EXPECT_EQ(j["port"].String(), "COM3");
    EXPECT_TRUE(j["identified"].Bool());
    EXPECT_EQ(j["firmware"].String(), "1.07");
    EXPECT_EQ(j["probe"]["calibration"].String(), "2011-03");
    EXPECT_EQ(j["probe"]["serial"].Number(), 6699);

    source.identity.identified = 0;
    const JsonValue unknown = Parsed(BuildInfoPayload(source));
    EXPECT_FALSE(unknown["identified"].Bool());
    EXPECT_FALSE(unknown.Has("serial"));
}

}  // namespace
}  // namespace tk358
