// SPDX-License-Identifier: GPL-3.0-or-later
// What tk358d does with each request line of its shared line's client.

#include "daemon/client_request.h"

#include <gtest/gtest.h>

#include <string>

namespace tk358 {
namespace {

using Action = ClientRequestAction;

struct Case {
    const char* line;
    bool readOnly;
    Action action;
    const char* answerOrPrefix;  // the answer prefix when forwarded, else the line for the client
    const char* logged;          // a part of the log text; "" for none
};

// Request lines as a trace shows them; "\r\n" ends each.
const Case kCases[] = {
    {"020A00F4\r\n", false, Action::kForward, "020A00:", ""},
    {"050100FA\r\n", true, Action::kForward, "050100:", ""},
    {"0286000084F4\r\n", true, Action::kForward, "028600:", ""},
    {"02300000517D\r\n", true, Action::kForward, "023000:", ""},
    // Monitoring off never reaches the panel; the client gets the panel's echo.
    {"0230000000CE\r\n", false, Action::kAnswerHere, "023000:0000CE\r\n", "monitorowania"},
    {"0230000001CD\r\n", false, Action::kAnswerHere, "023000:0001CD\r\n", "monitorowania"},
    // Writes: logged with their code and value; on a read-only line refused
    // unsent, and the client told so.
    {"028700008A0127C5\r\n", false, Action::kForward,
     "028700:", "zapis klienta: 028700 parametr 138, bajt 1 = 27 (39)"},
    {"028700008A0127C5\r\n", true, Action::kRefuse, "028700!ZAPIS-ZABLOKOWANY\r\n", "odrzucony"},
    {"028100000008CAAB\r\n", false, Action::kForward, "028100:", "wartość zadana = 2250"},
    {"0284004120000019\r\n", false, Action::kForward, "028400:", "CV = 10.00 %"},
    {"0285000178\r\n", true, Action::kRefuse, "028500!ZAPIS-ZABLOKOWANY\r\n", "blokada CV = 1"},
    {"03100002304D80EE\r\n", false, Action::kForward, "031000:", "zegar panelu = 36720000 s"},
    // Not requests of the panel protocol: never sent.
    {"020A00F5\r\n", false, Action::kIgnore, "", "pominięto"},        // checksum
    {"020a00F4\r\n", false, Action::kIgnore, "", "pominięto"},        // lower case
    {"020A00F4", false, Action::kIgnore, "", "pominięto"},            // no line end
    {"0286000084\r\n", false, Action::kIgnore, "", "pominięto"},      // no checksum
    {"02020000FC\r\n", false, Action::kIgnore, "", "pominięto"},      // a status code
    {"028600008400F4\r\n", false, Action::kIgnore, "", "pominięto"},  // data too long
};

TEST(ClientRequestTest, JudgesEachLine) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.line);
        const ClientRequestVerdict v = JudgeClientRequest(c.line, c.readOnly);
        EXPECT_EQ(v.action, c.action);
        EXPECT_EQ(c.action == Action::kForward ? v.answerPrefix : v.answer, c.answerOrPrefix);
        if (c.logged[0] == '\0') {
            EXPECT_EQ(v.logText, "");
        } else {
            EXPECT_NE(v.logText.find(c.logged), std::string::npos) << v.logText;
        }
    }
}

TEST(ClientRequestTest, TellsAnswersFromStatusLines) {
    for (const char* answer : {"020A00:0358:", "028600:0084", "023000:0051", "031000:"}) {
        EXPECT_TRUE(IsAnswerLine(answer)) << answer;
    }
    for (const char* status : {"020200:00:", "028800:00", "030000:", "028600", "garbage"}) {
        EXPECT_FALSE(IsAnswerLine(status)) << status;
    }
}

}  // namespace
}  // namespace tk358
