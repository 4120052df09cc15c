// SPDX-License-Identifier: GPL-3.0-or-later
// --sync-clock and a simulated TK-358D whose clock is five minutes behind: the
// state shows the offset, the clock is set soon after the start, and logged.

#include <regex>
#include <thread>

#include "daemon_fixture.h"
#include "sim/panel_calendar.h"

namespace tk358::test {
namespace {

using DaemonClockTest = DaemonFixture;

TEST_F(DaemonClockTest, SyncClockSetsAClockFiveMinutesOffAndLogsIt) {
    sim::PtySimulatorOptions options{sim::DefaultConfig(sim::kKindDualZone), 0, portDir_};
    options.panel.clockSeconds = sim::PanelSecondsNow() - 300;
    panel_ = std::make_unique<sim::PtySimulator>(options);
    ASSERT_TRUE(panel_->Start());
    const auto end = std::chrono::steady_clock::now() + 30s;  // set within 30 s of the start
    StartDaemon({"--sync-clock"});
    const JsonValue state =
        WaitForState([](const JsonValue& s) { return s["clockOffset"].IsNumber(); }, 30s);
    EXPECT_NEAR(state["clockOffset"].Number(), -300, 2);
    const std::regex logged("zegar panelu ustawiony.*; spóźniał się o (29[89]|30[012]) s");
    while (!std::regex_search(Output(), logged) && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(std::regex_search(Output(), logged)) << Output();
    const int64_t behind = int64_t{sim::PanelSecondsNow()} -
                           panel_->WithPanel([](sim::SimPanel& p) { return p.ClockSeconds(); });
    EXPECT_LE(std::abs(behind), 2) << "the simulator's clock after the set";
}

}  // namespace
}  // namespace tk358::test
