// SPDX-License-Identifier: GPL-3.0-or-later
// tk358d sharing its line with a real client: while the program's session
// works on the panel through the socket, the daemon's log has every line and
// the broker every state. The one-minute session is 15 s here.

#include <unistd.h>

#include <thread>

#include "daemon_fixture.h"
#include "link/panel_session.h"
#include "session_fixture.h"
#include "support/panel_session_probe.h"

namespace tk358::test {
namespace {

class DaemonShareTest : public DaemonFixture {};

int LogLines(const std::string& log) {
    int lines = 0;
    for (std::size_t at = log.find("\r\n"); at != std::string::npos;
         at = log.find("\r\n", at + 2)) {
        ++lines;
    }
    return lines;
}

TEST_F(DaemonShareTest, LogAndStatesGoOnWhileAClientWritesThroughTheSocket) {
    StartPanel(3);
    const std::string socket = dir_ + "/line1.sock";
    StartDaemon({"--share", socket});
    ASSERT_TRUE(WaitForState([](const JsonValue& s) { return s["link"].String() == "ok"; }, 20s)
                    .IsObject());
    // The first log line comes 6 s after the start.
    ASSERT_TRUE(WaitUntil([&] { return LogLines(LogText()) >= 2; }, 15s));
    ASSERT_EQ(::symlink(socket.c_str(), (portDir_ + "/COM9").c_str()), 0);
    ::setenv("TK358_PORT_DIR", portDir_.c_str(), 1);

    listener_->Clear();
    const int linesBefore = LogLines(LogText());
    const auto start = std::chrono::steady_clock::now();
    PanelSession client;
    ASSERT_TRUE(client.Open(9));
    int writes = 0;
    while (std::chrono::steady_clock::now() - start < 15s) {
        if (PanelSessionProbe::CompletedStartSequences(client) > 0) {
            EXPECT_EQ(client.WritePidParameters(150 + writes, 240, 30, 60, writes % 2), kStatusOk);
            ++writes;
        }
        std::this_thread::sleep_for(500ms);
    }
    client.Close();
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count();
    ::unsetenv("TK358_PORT_DIR");

    EXPECT_GE(writes, 15);
    const std::vector<ReceivedMessage> states = listener_->On(Base() + "/state");
    EXPECT_GE(static_cast<long>(states.size()), seconds - 1);
    for (const ReceivedMessage& state : states) {
        EXPECT_NE(state.payload.find("\"link\":\"ok\""), std::string::npos) << state.payload;
    }
    const int lines = LogLines(LogText()) - linesBefore;
    EXPECT_GE(lines, seconds - 1) << LogText();
    EXPECT_TRUE(panel_->WithPanel([](sim::SimPanel& p) { return p.Monitoring(); }));
    EXPECT_NE(Output().find("zapis klienta: 028700 parametr 133"), std::string::npos) << Output();
}

}  // namespace
}  // namespace tk358::test
