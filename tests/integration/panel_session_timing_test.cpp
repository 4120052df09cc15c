// SPDX-License-Identifier: GPL-3.0-or-later
// The session with the program's own time constants, and its getters used
// from several threads while the poll thread and a write operation run.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "session_fixture.h"

namespace tk358::test {
namespace {

// More than 10 s of silence, up to one 1 s cycle until it is noticed, then
// four identification attempts of 1.5 s.
TEST(SessionTimingTest, SilentPanelIsReportedLostAfterSixteenToNineteenSeconds) {
    RigOptions options;
    options.timing = SessionTiming{};
    SessionRig rig(0, options);
    ASSERT_TRUE(rig.Start());
    rig.sim.SilenceUntilResumed();
    const auto silentFrom = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusFailed; }, 25s));
    const auto elapsed = std::chrono::steady_clock::now() - silentFrom;
    RecordProperty("elapsed_ms", static_cast<int>(elapsed / 1ms));
    EXPECT_GE(elapsed, 16s - 100ms);
    EXPECT_LE(elapsed, 19s + 500ms);
    EXPECT_EQ(rig.Requests(), std::vector<std::string>(4, "020A00"));

    // Closing with the panel silent tries the monitoring-off word once.
    rig.sim.ClearFrames();
    const auto closing = std::chrono::steady_clock::now();
    rig.session.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 3s + 500ms);
    EXPECT_EQ(rig.Requests().back(), "0230000000");
}

TEST(SessionTimingTest, GettersFromSeveralThreadsDuringPollingAndWrites) {
    RigOptions options;
    options.timing.silence = 1s;
    options.statusPeriod = 5ms;
    SessionRig rig(0, options);
    ASSERT_TRUE(rig.Start());
    std::atomic<bool> stop{false};
    std::vector<std::thread> readers;
    for (int i = 0; i < 3; ++i) {
        readers.emplace_back([&] {
            while (!stop) {
                TemperatureReading t;
                RegulatorState r;
                ParameterSet p;
                PanelIdentity id;
                rig.session.GetTemperature(t);
                rig.session.GetRegulatorState(r);
                rig.session.GetParameters(p);
                rig.session.GetIdentity(id);
                ASSERT_EQ(id.deviceType, kTemperatureController);
            }
        });
    }
    // A fixed number of writes, not as many as fit a time: how fast they go
    // depends on the machine, whether they all arrive does not.
    constexpr int writes = 8;
    for (int i = 0; i < writes; ++i) {
        EXPECT_EQ(rig.session.WritePidParameters(10 + i % 5, i, 0, 0, 0), kStatusOk);
    }
    stop = true;
    for (std::thread& t : readers) {
        t.join();
    }
    TemperatureReading t;
    rig.session.GetTemperature(t);
    EXPECT_EQ(t.valid, 1);
    rig.session.Close();
    EXPECT_EQ(rig.sim.Parameter(6), writes - 1);
    // Kept, but from a link that is closed: no longer a reading of now.
    rig.session.GetTemperature(t);
    EXPECT_EQ(t.valid, 0);
    EXPECT_NE(t.temperature, 0.0);
}

}  // namespace
}  // namespace tk358::test
