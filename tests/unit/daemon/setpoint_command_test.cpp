// SPDX-License-Identifier: GPL-3.0-or-later
// What a message on a command topic leads to, before anything reaches the panel.

#include <gtest/gtest.h>

#include "daemon/setpoint_command.h"
#include "panel/regulation_fields.h"
#include "support/fake_panel.h"
#include "support/json_value.h"

namespace tk358 {
namespace {

using Kind = CommandDecision::Kind;

struct CommandCase {
    const char* command;
    const char* payload;
    bool retained;
    bool allowed;
    Kind kind;
    int index;
    int hundredths;      // for kWrite
    const char* reason;  // part of the reason otherwise
};

TEST(SetpointCommand, DecidesEachMessage) {
    const CommandCase cases[] = {
        {"setpoint", "21.5", false, true, Kind::kWrite, 0, 2150, ""},
        {"setpoint", " 21,5 \n", false, true, Kind::kWrite, 0, 2150, ""},
        {"setpoint", "-3", false, true, Kind::kWrite, 0, -300, ""},
        {"setpoint", "+7.129", false, true, Kind::kWrite, 0, 712, ""},  // truncated
        {"setpoint", "550", false, true, Kind::kWrite, 0, 55000, ""},
        {"setpoint", "-200", false, true, Kind::kWrite, 0, -20000, ""},
        {"zone2Setpoint", "45.5", false, true, Kind::kWrite, 1, 4550, ""},
        {"zone1Setpoint", "-45.5", false, true, Kind::kWrite, 0, -4550, ""},
        {"zone1Setpoint", "551", false, true, Kind::kRefuse, 0, 0, "Wartość zadana 1 poza"},
        {"setpoint", "550.01", false, true, Kind::kRefuse, 0, 0, "poza dopuszczalnym zakresem"},
        {"setpoint", "-200.01", false, true, Kind::kRefuse, 0, 0, "poza dopuszczalnym"},
        {"zone2Setpoint", "1000", false, true, Kind::kRefuse, 1, 0, "Wartość zadana 2 poza"},
        {"setpoint", "", false, true, Kind::kRefuse, 0, 0, "\"\" nie jest liczbą"},
        {"setpoint", "abc", false, true, Kind::kRefuse, 0, 0, "\"abc\" nie jest liczbą"},
        {"setpoint", "21.5abc", false, true, Kind::kRefuse, 0, 0, "nie jest liczbą"},
        {"setpoint", "1e2", false, true, Kind::kRefuse, 0, 0, "nie jest liczbą"},
        {"setpoint", "21.", false, true, Kind::kRefuse, 0, 0, "nie jest liczbą"},
        {"setpoint", "{\"value\":21}", false, true, Kind::kRefuse, 0, 0, "nie jest liczbą"},
        {"setpoint", "21.5", false, false, Kind::kRefuse, 0, 0, "--allow-setpoint-writes"},
        {"setpoint", "21.5", true, true, Kind::kIgnore, 0, 0, "retained"},
        {"valve", "100", false, true, Kind::kIgnore, 0, 0, "nieznane"},
        {"setpoint2", "21", false, true, Kind::kIgnore, 0, 0,
         "nieznane"},  // no command of that name
        {"setpoint/result", "x", false, true, Kind::kIgnore, 0, 0, "nieznane"},
    };
    for (const CommandCase& c : cases) {
        const CommandDecision d = DecideCommand(c.command, c.payload, c.retained, c.allowed);
        const std::string label = std::string(c.command) + " \"" + c.payload + "\"";
        EXPECT_EQ(d.kind, c.kind) << label;
        EXPECT_NE(d.reason.find(c.reason), std::string::npos) << label << ": " << d.reason;
        if (c.kind == Kind::kWrite) {
            EXPECT_EQ(d.request.hundredths, c.hundredths) << label;
            EXPECT_EQ(d.request.index, c.index) << label;
        }
    }
}

// Written exactly where the window's set-point dialog writes that value.
TEST(SetpointCommand, EachKindTakesTheSetpointsItsDialogWrites) {
    struct Case {
        int kind;
        const char* command;
        const char* written;  // the session's write, or empty when refused
    };
    const Case cases[] = {
        {kTemperatureController, "setpoint", "WriteSetpoint(2150, 0)"},
        {kDrainValveController, "setpoint", "WriteSetpoint(2150, 0)"},
        {kVentilationController, "setpoint", ""},
        {kDualZoneController, "setpoint", ""},
        {kDualZoneController, "zone1Setpoint", "WriteSetpoint(2150, 0)"},
        {kDualZoneController, "zone2Setpoint", "WriteSetpoint(2150, 1)"},
        {kThresholdRegulator, "setpoint", ""},
        {kThresholdRegulator, "zone2Setpoint", ""},
        {kTemperatureController, "zone1Setpoint", ""},
    };
    for (const Case& c : cases) {
        test::FakePanel panel;
        panel.Connect(static_cast<uint8_t>(c.kind));
        const CommandDecision d = DecideCommand(c.command, "21.5", false, true);
        ASSERT_EQ(d.kind, Kind::kWrite) << c.command;
        const std::string error = WriteSetpointRequest(d.request, panel);
        const std::vector<test::WriteCall> calls = panel.Calls();
        const std::string label = std::to_string(c.kind) + " " + c.command;
        EXPECT_EQ(error.empty(), *c.written != '\0') << label << ": " << error;
        EXPECT_EQ(calls.empty() ? "" : calls.at(0).text, c.written) << label;
    }
}

TEST(SetpointCommand, BoundsAreTheSetpointDialogs) {
    EXPECT_EQ(ParseSetpointPayload("-200.00"), rules::kSetpoint.min);
    EXPECT_EQ(ParseSetpointPayload("550.00"), rules::kSetpoint.max);
}

TEST(SetpointCommand, ResultEchoesTheRequestCutShort) {
    SetpointRequest request{"setpoint", "23.5", 0, 2350};
    const auto ok = test::JsonValue::Parse(BuildResultPayload(request, ""));
    ASSERT_TRUE(ok);
    EXPECT_TRUE((*ok)["ok"].Bool());
    EXPECT_EQ((*ok)["setpoint"].Number(), 23.5);
    EXPECT_FALSE(ok->Has("error"));

    const CommandDecision huge = DecideCommand("setpoint", std::string(10000, '9'), false, true);
    EXPECT_EQ(huge.request.text.size(), 64u);
    const auto refused = test::JsonValue::Parse(BuildResultPayload(huge.request, huge.reason));
    ASSERT_TRUE(refused);
    EXPECT_FALSE((*refused)["ok"].Bool());
    EXPECT_EQ((*refused)["error"].String(), "Wartość zadana poza dopuszczalnym zakresem");
}

}  // namespace
}  // namespace tk358
