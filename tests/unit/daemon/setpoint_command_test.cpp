// What a message on a command topic leads to, before anything reaches the panel.

#include <gtest/gtest.h>

#include "daemon/setpoint_command.h"
#include "panel/regulation_fields.h"
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
        {"setpoint2", "45.5", false, true, Kind::kWrite, 1, 4550, ""},
        {"setpoint", "550.01", false, true, Kind::kRefuse, 0, 0, "poza dopuszczalnym zakresem"},
        {"setpoint", "-200.01", false, true, Kind::kRefuse, 0, 0, "poza dopuszczalnym"},
        {"setpoint2", "1000", false, true, Kind::kRefuse, 1, 0, "Wartość zadana 2 poza"},
        {"setpoint", "", false, true, Kind::kRefuse, 0, 0, "poza dopuszczalnym"},
        {"setpoint", "abc", false, true, Kind::kRefuse, 0, 0, "poza dopuszczalnym"},
        {"setpoint", "21.5abc", false, true, Kind::kRefuse, 0, 0, "poza dopuszczalnym"},
        {"setpoint", "1e2", false, true, Kind::kRefuse, 0, 0, "poza dopuszczalnym"},
        {"setpoint", "21.", false, true, Kind::kRefuse, 0, 0, "poza dopuszczalnym"},
        {"setpoint", "{\"value\":21}", false, true, Kind::kRefuse, 0, 0, "poza dopuszczalnym"},
        {"setpoint", "21.5", false, false, Kind::kRefuse, 0, 0, "--allow-setpoint-writes"},
        {"setpoint", "21.5", true, true, Kind::kIgnore, 0, 0, "retained"},
        {"valve", "100", false, true, Kind::kIgnore, 0, 0, "nieznane"},
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
