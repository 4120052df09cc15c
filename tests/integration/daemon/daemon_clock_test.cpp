// --sync-clock against a simulated TK-358D whose clock is five minutes behind:
// set once, soon after the start, logged with what it corrected; the state
// carries the offset measured before.

#include <regex>
#include <thread>

#include "daemon_fixture.h"
#include "sim/panel_calendar.h"

namespace tk358::test {
namespace {

using DaemonClockTest = DaemonFixture;

TEST_F(DaemonClockTest, SyncClockSetsAClockFiveMinutesOffAndLogsIt) {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(sim::kKindDualZone);
    options.panel.clockSeconds = sim::PanelSecondsNow() - 300;
    options.portDirectory = portDir_;
    panel_ = std::make_unique<sim::PtySimulator>(options);
    std::string error;
    ASSERT_TRUE(panel_->Start(&error)) << error;
    StartDaemon({"--sync-clock"});

    const JsonValue state =
        WaitForState([](const JsonValue& s) { return s["clockOffset"].IsNumber(); }, 30s);
    EXPECT_NEAR(state["clockOffset"].Number(), -300, 2);

    const std::regex logged(
        "zegar panelu ustawiony według komputera na [-0-9: ]+; "
        "spóźniał się o ([0-9]+) s");
    std::smatch match;
    std::string output;
    for (const auto deadline = std::chrono::steady_clock::now() + 30s;
         !std::regex_search(output = Output(), match, logged) &&
         std::chrono::steady_clock::now() < deadline;) {
        std::this_thread::sleep_for(100ms);
    }
    ASSERT_FALSE(match.empty()) << output;
    EXPECT_NEAR(std::stoi(match[1].str()), 300, 2);

    const int64_t behind = int64_t{sim::PanelSecondsNow()} -
                           panel_->WithPanel([](sim::SimPanel& p) { return p.ClockSeconds(); });
    EXPECT_LE(std::abs(behind), 2) << "the simulator's clock after the set";
    int writes = 0;
    for (const sim::RecordedFrame& frame : panel_->Frames()) {
        writes += frame.line.find("031000") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(writes, 1);
}

}  // namespace
}  // namespace tk358::test
