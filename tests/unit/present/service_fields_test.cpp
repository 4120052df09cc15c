// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/service_fields.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace tk358 {
namespace {

using F = ServiceField;
using Texts = std::map<ServiceField, std::string>;

Texts TextsOf(const ReadingsSnapshot& s) {
    Texts texts;
    for (const ServiceText& t : ComputeServiceTexts(s)) {
        EXPECT_TRUE(texts.emplace(t.field, t.text).second)
            << "field " << static_cast<int>(t.field) << " filled twice";
    }
    return texts;
}

void ExpectTexts(const ReadingsSnapshot& s, const Texts& expected) {
    const Texts texts = TextsOf(s);
    for (const auto& [field, text] : expected) {
        const auto it = texts.find(field);
        ASSERT_NE(it, texts.end()) << "field " << static_cast<int>(field) << " missing";
        EXPECT_EQ(it->second, text)
            << "field " << static_cast<int>(field) << " (" << ServiceFieldLabel(field) << ")";
    }
}

ReadingsSnapshot Snapshot(uint8_t deviceType) {
    ReadingsSnapshot s;
    s.connected = true;
    s.identity.identified = 1;
    s.identity.deviceType = deviceType;
    return s;
}

void SetRegulator(ReadingsSnapshot& s) {
    RegulatorState& r = s.regulator;
    r = {};
    r.cvLock = 1;
    r.error = -1.234;
    r.processValue = 21.56789;
    r.controlValue = 45.26;
    r.loopTerm1 = 1.5;
    r.loopTerm2 = -0.25;
    r.loopTerm3 = 0;
    r.pvDerivative1 = 0.0001234;
    r.pvDerivative2 = -0.5;
    r.loopPeriod = 12;
    r.valid = 1;
}

const Texts kRegulatorTexts = {
    {F::kError, "-1.23"},
    {F::kCv, "45.3"},
    {F::kLoopPeriod, "1200"},
    {F::kPv, "21.5679"},
    {F::kTermP, "1.500"},
    {F::kTermI, "-0.250"},
    {F::kTermD, "0.000"},
    {F::kPvDerivative1, "0.0001234"},
    {F::kPvDerivative2, "-0.5000000"},
};

void SetValve(ReadingsSnapshot& s) {
    s.valve = {37.5, 123, 40, 1, 1, 2, 55, 1};
}

const Texts kValveTexts = {
    {F::kMotor, "OTWIERANIE"}, {F::kPosition, "37.5 %"}, {F::kCommand, "CLOSE"},
    {F::kCommandValue, "5.5"}, {F::kTimer1, "12.3"},     {F::kTimer2, "4.0"},
};

TEST(ServiceFieldsTest, TemperatureController) {
    ReadingsSnapshot s = Snapshot(kTemperatureController);
    ParameterSet& p = s.parameters;
    for (auto [code, value] : {std::pair{32, 125},
                               {33, -5},
                               {34, 30},
                               {36, 15},
                               {35, 100},
                               {37, 7},
                               {1, 25},
                               {6, 120},
                               {7, 30},
                               {8, 5},
                               {0, -1234}}) {
        p.Store(code, value);
    }
    p.SetReadComplete(kTemperatureController);
    SetRegulator(s);
    SetValve(s);
    ExpectTexts(s, {{F::kValveOpenTime, "12.5"},
                    {F::kValveCloseTime, "-0.5"},
                    {F::kDeadTime, "3.0"},
                    {F::kDeadBand, "1.5"},
                    {F::kMinStandstill, "10.0"},
                    {F::kMinOnTime, "0.7"},
                    {F::kKp, "2.5"},
                    {F::kTi, "120"},
                    {F::kTd, "30"},
                    {F::kTa, "5"},
                    {F::kSp, "-12.34"},
                    {F::kCvLock, "TAK"}});
    ExpectTexts(s, kRegulatorTexts);
    ExpectTexts(s, kValveTexts);
}

TEST(ServiceFieldsTest, DrainValveController) {
    ReadingsSnapshot s = Snapshot(kDrainValveController);
    s.parameters.Store(64, 600);
    s.parameters.Store(65, 25);
    s.parameters.Store(66, -10);
    s.parameters.Store(0, 4500);
    s.parameters.SetReadComplete(kDrainValveController);
    s.drainValve = {15, 0, 3, 1, 1};
    SetRegulator(s);
    ExpectTexts(s, {{F::kDrainTime, "60.0"},
                    {F::kCloseDelay, "2.5"},
                    {F::kDeviation, "-1.0"},
                    {F::kTimer1, "1.5"},
                    {F::kTimer2, "0.0"},
                    {F::kDrainStatus, "INDROP"},
                    {F::kDrainValve, "OTWARTY"},
                    {F::kSp, "45.00"}});
    ExpectTexts(s, kRegulatorTexts);

    s.drainValve.valveOpen = 0;
    ExpectTexts(s, {{F::kDrainValve, "ZAMKNIĘTY"}});
}

TEST(ServiceFieldsTest, DrainValveSetpointNeedsEitherParameterRead) {
    ReadingsSnapshot s = Snapshot(kDrainValveController);
    s.parameters.Store(0, 4500);
    s.parameters.Store(64, 600);
    ExpectTexts(s, {{F::kSp, ""}, {F::kDrainTime, ""}});
    s.parameters.SetReadComplete(kTemperatureController);
    ExpectTexts(s, {{F::kSp, "45.00"}, {F::kDrainTime, ""}});
}

TEST(ServiceFieldsTest, VentilationController) {
    ReadingsSnapshot s = Snapshot(kVentilationController);
    for (auto [code, value] : {std::pair{72, 215},
                               {73, -30},
                               {74, 10},
                               {75, 5},
                               {76, 1},
                               {77, 3},
                               {78, 15},
                               {79, 120},
                               {80, 250}}) {
        s.parameters.Store(code, value);
    }
    s.parameters.SetReadComplete(kVentilationController);
    s.ventilation = {1, 2, 77, 12, 1};
    ExpectTexts(s, {{F::kVentT1, "21.5"},
                    {F::kVentT2, "-3.0"},
                    {F::kVentH1, "1.0"},
                    {F::kVentH2, "0.5"},
                    {F::kAiring, "TAK"},
                    {F::kFans, "WENT 1+2"},
                    {F::kAiringTime, "15"},
                    {F::kAiringPeriod, "120"},
                    {F::kAiringThreshold, "25.0"},
                    {F::kTimeCounter, "77"},
                    {F::kPeriodStart, "12"},
                    {F::kFan1, "WYŁ"},
                    {F::kFan2, "WŁ"},
                    {F::kVirtualFan1, "WŁ"},
                    {F::kVirtualFan2, "WYŁ"}});
}

TEST(ServiceFieldsTest, NamedValues) {
    ReadingsSnapshot vent = Snapshot(kVentilationController);
    vent.parameters.SetReadComplete(kVentilationController);
    const std::pair<int, const char*> fans[] = {
        {0, "BRAK"}, {1, "WENT 1"}, {2, "WENT 2"}, {3, "WENT 1+2"}, {7, "WENT 1+2"}};
    for (auto [value, name] : fans) {
        vent.parameters.Store(77, value);
        ExpectTexts(vent, {{F::kFans, name}});
    }
    vent.parameters.Store(76, 0);
    ExpectTexts(vent, {{F::kAiring, "NIE"}});

    ReadingsSnapshot valve = Snapshot(kTemperatureController);
    valve.valve.valid = 1;
    const std::pair<int, const char*> commands[] = {{0, "---"},     {1, "OPEN"},  {2, "CLOSE"},
                                                    {3, "CORRECT"}, {4, "BREAK"}, {5, "---"},
                                                    {-1, "---"}};
    for (auto [code, name] : commands) {
        valve.valve.commandCode = code;
        ExpectTexts(valve, {{F::kCommand, name}});
    }
    const struct {
        uint8_t running, opening;
        const char* name;
    } motors[] = {{1, 1, "OTWIERANIE"}, {1, 0, "ZAMYKANIE"}, {0, 1, "---"}, {0, 0, "---"}};
    for (const auto& m : motors) {
        valve.valve.motorRunning = m.running;
        valve.valve.opening = m.opening;
        ExpectTexts(valve, {{F::kMotor, m.name}});
    }

    ReadingsSnapshot drain = Snapshot(kDrainValveController);
    drain.drainValve.valid = 1;
    const char* const states[] = {"INIT",   "NOCTL", "DROPREQ", "INDROP",
                                  "TUNDER", "WAIT",  "OK",      "---"};
    for (uint16_t code = 0; code < 8; ++code) {
        drain.drainValve.stateCode = code;
        ExpectTexts(drain, {{F::kDrainStatus, states[code]}});
    }
}

TEST(ServiceFieldsTest, DualZoneController) {
    ReadingsSnapshot s = Snapshot(kDualZoneController);
    for (auto [code, value] : {std::pair{132, 2150},
                               {137, -1234},
                               {138, 13},
                               {139, 0},
                               {128, 35},
                               {133, 40},
                               {129, 100},
                               {134, 200},
                               {130, 10},
                               {135, 20},
                               {131, 1},
                               {136, 2},
                               {140, 1200},
                               {141, 1100},
                               {142, 30},
                               {143, 40},
                               {144, 50},
                               {145, 60},
                               {146, 1}}) {
        s.parameters.Store(code, value);
    }
    s.parameters.SetReadComplete(kDualZoneController);
    s.activeZone = {1, 1};
    s.setpoint.setpoint = -1234;
    s.setpoint.valid = 1;
    SetRegulator(s);
    SetValve(s);
    ExpectTexts(s, {{F::kZone1Sp, "21.50"},       {F::kZone2Sp, "-12.34"},
                    {F::kZone1Start, "2:10"},     {F::kZone2Start, "0:00"},
                    {F::kZone1Kp, "3.5"},         {F::kZone2Kp, "4.0"},
                    {F::kZone1Ti, "100"},         {F::kZone2Ti, "200"},
                    {F::kZone1Td, "10"},          {F::kZone2Td, "20"},
                    {F::kZone1At, "1"},           {F::kZone2At, "2"},
                    {F::kValveOpenTime, "120.0"}, {F::kValveCloseTime, "110.0"},
                    {F::kDeadTime, "3.0"},        {F::kMinStandstill, "4.0"},
                    {F::kDeadBand, "5.0"},        {F::kMinOnTime, "6.0"},
                    {F::kReverse, "1"},           {F::kActiveZone, "Strefa 2"},
                    {F::kSp, "-12.34"},           {F::kCvLock, "TAK"}});
    ExpectTexts(s, kRegulatorTexts);
    ExpectTexts(s, kValveTexts);

    s.activeZone.zone = 0;
    s.regulator.cvLock = 0;
    s.parameters.Store(138, 143);
    ExpectTexts(s, {{F::kActiveZone, "Strefa 1"}, {F::kCvLock, "NIE"}, {F::kZone1Start, "23:50"}});
}

TEST(ServiceFieldsTest, ThresholdRegulatorReadsNarrowSlotsBySign) {
    ReadingsSnapshot s = Snapshot(kThresholdRegulator);
    for (auto [code, value] : {std::pair{90, -25},
                               {91, 300},
                               {92, 65535},
                               {93, 5},
                               {95, 45},
                               {160, -32768},
                               {161, 0},
                               {162, 40000},
                               {163, 1},
                               {164, 0},
                               {165, 2}}) {
        s.parameters.Store(code, value);
    }
    s.parameters.SetReadComplete(kThresholdRegulator);
    s.relay = {1, 0, 4294967295u, 1};
    ExpectTexts(s, {{F::kDayT1, "-2.5"},
                    {F::kDayT2, "30.0"},
                    {F::kDayH1, "6553.5"},
                    {F::kDayH2, "0.5"},
                    {F::kDayStart, "7:30"},
                    {F::kNightT1, "-3276.8"},
                    {F::kNightT2, "0.0"},
                    {F::kNightH1, "4000.0"},
                    {F::kNightH2, "0.1"},
                    {F::kNightStart, "0:00"},
                    {F::kChannels, "2"},
                    {F::kRelay1, "1 - WŁ"},
                    {F::kRelay2, "0 - WYŁ"},
                    {F::kRelayLoopPeriod, "429496729.5"}});
}

TEST(ServiceFieldsTest, EveryFieldOfTheGroupIsEmptyWithoutValidRecords) {
    // Unknown kinds show the temperature controller's group.
    EXPECT_EQ(ServiceGroupFor(5).fields.data(), ServiceGroupFor(0).fields.data());
    EXPECT_EQ(ServiceGroupFor(9).boxes.data(), ServiceGroupFor(0).boxes.data());
    for (uint8_t type : {0, 1, 2, 3, 4, 5, 9}) {
        const ReadingsSnapshot s = Snapshot(type);
        const ServiceGroup group = ServiceGroupFor(type);
        const Texts texts = TextsOf(s);
        EXPECT_EQ(texts.size(), group.fields.size()) << "type " << int{type};
        for (ServiceField f : group.fields) {
            EXPECT_EQ(texts.count(f), 1u) << "type " << int{type} << " field " << int(f);
        }
        for (const auto& [field, text] : texts) {
            EXPECT_EQ(text, "") << "type " << int{type} << " field " << int(field);
        }
    }
}

TEST(ServiceFieldsTest, RecordsAreCheckedOneByOne) {
    // Parameters not read blank the parameter fields only.
    ReadingsSnapshot s = Snapshot(kTemperatureController);
    s.parameters.Store(1, 25);
    SetRegulator(s);
    ExpectTexts(s, {{F::kKp, ""}, {F::kCvLock, "TAK"}, {F::kPv, "21.5679"}, {F::kMotor, ""}});
}

TEST(ServiceFieldsTest, ClearingCoversEveryFieldOfEveryGroup) {
    std::set<ServiceField> all;
    for (int type = 0; type <= 4; ++type) {
        const ServiceGroup g = ServiceGroupFor(type);
        all.insert(g.fields.begin(), g.fields.end());
    }
    std::set<ServiceField> cleared;
    for (const ServiceText& t : ClearedServiceTexts()) {
        EXPECT_EQ(t.text, "");
        EXPECT_TRUE(cleared.insert(t.field).second);
    }
    EXPECT_EQ(cleared, all);
    EXPECT_EQ(AllServiceFields().size(), all.size());
}

TEST(ServiceFieldsTest, LabelsAndBoxTitles) {
    const std::pair<ServiceField, const char*> labels[] = {
        {F::kError, "E  [°C]"},
        {F::kValveCloseTime, "Zam. zaworu[s] A02"},
        {F::kPvDerivative2, "pv''"},
        {F::kDeadBand, "Nieczuł. ster.[%] A04"},
        {F::kNightH2, "Histereza H2"},
        {F::kRelayLoopPeriod, "czas obiegu pętli"},
        {F::kVirtualFan2, "Wentylator 2 (virtual)"},
    };
    for (auto [field, label] : labels) {
        EXPECT_STREQ(ServiceFieldLabel(field), label);
    }
    for (ServiceField f : AllServiceFields()) {
        EXPECT_STRNE(ServiceFieldLabel(f), "") << int(f);
    }
    EXPECT_STREQ(ServiceBoxTitle(ServiceBox::kRegulation), "Parametry regulacji");
    EXPECT_STREQ(ServiceBoxTitle(ServiceBox::kPid), "Parametry PID");
    EXPECT_STREQ(ServiceBoxTitle(ServiceBox::kOperational), "Parametry operacyjne");
}

}  // namespace
}  // namespace tk358
