// Readings handed out by the session are measurements of now: after an outage
// no old value comes back as current, and under noise that spoils every
// status line the readings go missing while the link stays up.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "session_fixture.h"

namespace tk358::test {
namespace {

constexpr double kBefore = -5.0;  // °C before the outage
constexpr double kAfter = 60.0;   // °C once the panel is back

void SetTemperature(sim::PtySimulator& sim, double celsius) {
    sim.WithPanel([celsius](sim::SimPanel& p) { p.Process().SetTemperature(celsius); });
}

// The temperature as a consumer gets it: the link status first, as the
// window takes it, then the reading; none when either says it is not there.
std::optional<double> CurrentTemperature(const PanelSession& session) {
    const bool linked = session.GetLinkStatus() == kStatusOk;
    TemperatureReading t;
    session.GetTemperature(t);
    return linked && t.valid != 0 ? std::optional<double>(t.temperature) : std::nullopt;
}

TEST(FreshReadingsTest, NoReadingFromBeforeAnOutageIsCurrentAfterIt) {
    struct Outage {
        const char* name;
        std::chrono::seconds freshFor;  // the silence time of the link
        std::function<void(sim::PtySimulator&)> begin;
        std::function<bool(sim::PtySimulator&)> end;
    };
    const Outage outages[] = {
        {"panel silent", 1s, [](sim::PtySimulator& s) { s.SilenceUntilResumed(); },
         [](sim::PtySimulator& s) {
             s.Resume();
             return true;
         }},
        // Back well within the silence time: only the new identification
        // tells that the readings before it are old.
        {"device pulled and plugged back", 10s, [](sim::PtySimulator& s) { s.Vanish(); },
         [](sim::PtySimulator& s) { return s.Reappear(); }},
    };
    for (const Outage& o : outages) {
        SCOPED_TRACE(o.name);
        RigOptions options = StatusEvery(100ms);
        options.timing.silence = o.freshFor;
        SessionRig rig(sim::kKindTemperature, options);
        SetTemperature(rig.sim, kBefore);
        ASSERT_TRUE(rig.Start());
        ASSERT_TRUE(WaitUntil(
            [&] {
                const std::optional<double> t = CurrentTemperature(rig.session);
                return t && *t < 0.0;
            },
            3s));

        o.begin(rig.sim);
        ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusFailed; }, 10s));
        SetTemperature(rig.sim, kAfter);
        ASSERT_TRUE(o.end(rig.sim));

        std::vector<double> seen;  // every current reading since the return
        ASSERT_TRUE(WaitUntil(
            [&] {
                const std::optional<double> t = CurrentTemperature(rig.session);
                if (t) {
                    seen.push_back(*t);
                }
                return t && *t > 30.0;
            },
            15s));
        EXPECT_EQ(std::count_if(seen.begin(), seen.end(), [](double t) { return t < 30.0; }), 0)
            << "the value from before the outage came back as current";
    }
}

TEST(FreshReadingsTest, NoiseOnEveryStatusLineLeavesNoCurrentReading) {
    RigOptions options = StatusEvery(100ms);
    options.timing.silence = 1s;
    SessionRig rig(sim::kKindDualZone, options);
    ASSERT_TRUE(rig.Start());
    const auto current = [&] {
        TemperatureReading t;
        SetpointReading sp;
        PanelClock clock;
        rig.session.GetTemperature(t);
        rig.session.GetSetpointReading(sp);
        rig.session.GetPanelClock(clock);
        return std::vector<int>{t.valid, sp.valid, clock.valid};
    };
    ASSERT_TRUE(WaitUntil([&] { return current() == std::vector<int>{1, 1, 1}; }, 3s));

    sim::FaultSettings noise;
    noise.noisyStatusLines = true;
    rig.sim.SetFaults(noise);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return current() == std::vector<int>{0, 0, 0}; }, 3s));
    // About the freshness time after the last good line (a bound with room
    // for slow builds); the spoiled lines still count as talk, so the link
    // stays up as before.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(rig.session.GetLinkStatus(), kStatusOk);
    EXPECT_EQ(current(), (std::vector<int>{0, 0, 0}));

    rig.sim.SetFaults({});
    EXPECT_TRUE(WaitUntil([&] { return current() == std::vector<int>{1, 1, 1}; }, 3s));
}

}  // namespace
}  // namespace tk358::test
