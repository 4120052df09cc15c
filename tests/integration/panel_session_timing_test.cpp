// The session with the program's own time constants, and its getters used
// from several threads while the poll thread and a write operation run.

#include <gtest/gtest.h>

#include <atomic>

#include "session_fixture.h"

namespace tk358::test {
namespace {

// More than 10 s of silence, up to one 1 s cycle until it is noticed, then
// four identification attempts of 1.5 s.
TEST(SessionTimingTest, SilentPanelIsReportedLostAfterSixteenToNineteenSeconds) {
    SessionRig rig(0, 105, SessionTiming{});
    ASSERT_TRUE(rig.Start());
    rig.model.SetSilent(true);
    const auto lastGoodLine = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusFailed; }, 25s));
    const auto elapsed = std::chrono::steady_clock::now() - lastGoodLine;
    RecordProperty("elapsed_ms", static_cast<int>(elapsed / 1ms));
    EXPECT_GE(elapsed, 16s - 100ms);
    EXPECT_LE(elapsed, 19s + 500ms);
    const std::vector<std::string> requests = rig.panel.Requests();
    EXPECT_EQ(requests, std::vector<std::string>(4, "020A00"));

    // Closing with the panel silent tries the monitoring-off word once.
    rig.panel.ClearRequests();
    const auto closing = std::chrono::steady_clock::now();
    rig.session.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 3s + 500ms);
    EXPECT_EQ(rig.panel.Requests().back(), "0230000000");
}

TEST(SessionTimingTest, GettersFromSeveralThreadsDuringPollingAndWrites) {
    SessionTiming timing = QuickTiming();
    timing.silence = 1s;
    SessionRig rig(0, 105, timing);
    ASSERT_TRUE(rig.Start());
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        for (int i = 0; !stop; ++i) {
            rig.panel.Send(i % 2 == 0 ? "020200: 000 0 0 0000093A 00000000000000000000000000000"
                                        "00000000 XX"
                                      : "028000:0 00 000009C4 XX");
            std::this_thread::sleep_for(3ms);
        }
    });
    for (int g = 0; g < 3; ++g) {
        threads.emplace_back([&] {
            while (!stop) {
                TemperatureReading t;
                SetpointReading sp;
                ParameterSet p;
                PanelIdentity id;
                rig.session.GetTemperature(t);
                rig.session.GetSetpointReading(sp);
                rig.session.GetParameters(p);
                rig.session.GetIdentity(id);
                ASSERT_TRUE(t.valid == 0 || t.temperature == 23.62);
                ASSERT_TRUE(sp.valid == 0 || sp.setpoint == 2500);
            }
        });
    }
    int writes = 0;
    const auto end = std::chrono::steady_clock::now() + 1500ms;
    while (std::chrono::steady_clock::now() < end) {
        EXPECT_EQ(rig.session.WritePidParameters(10 + writes % 5, writes, 0, 0, 0), kStatusOk);
        ++writes;
    }
    stop = true;
    for (std::thread& t : threads) {
        t.join();
    }
    rig.session.Close();
    EXPECT_GT(writes, 5);
    EXPECT_EQ(rig.model.Value(6), writes - 1);
}

}  // namespace
}  // namespace tk358::test
