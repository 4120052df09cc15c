// SPDX-License-Identifier: GPL-3.0-or-later
// Readings handed out by the session are measurements of now: after the
// device was pulled and plugged back no old value comes back as current.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
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

// Plugged back well within the silence time, the readings from before are
// still young enough by the clock: only the panel's new identification tells
// that they are old. (The window's tests cover a silent and a noisy panel.)
TEST(FreshReadingsTest, NoReadingFromBeforeAReplugIsCurrentAfterIt) {
    SessionRig rig(sim::kKindTemperature, StatusEvery(100ms));
    SetTemperature(rig.sim, kBefore);
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::optional<double> t = CurrentTemperature(rig.session);
            return t && *t < 0.0;
        },
        3s));

    rig.sim.Vanish();
    ASSERT_TRUE(WaitUntil([&] { return rig.session.GetLinkStatus() == kStatusFailed; }, 5s));
    SetTemperature(rig.sim, kAfter);
    ASSERT_TRUE(rig.sim.Reappear());

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

}  // namespace
}  // namespace tk358::test
