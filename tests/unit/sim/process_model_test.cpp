// SPDX-License-Identifier: GPL-3.0-or-later
// The live process behind the simulated panels: regulation reaches its set
// point, outputs switch at their thresholds, zones follow the clock.

#include "sim/process_model.h"

#include <gtest/gtest.h>

#include "sim/panel_calendar.h"
#include "sim/sim_panel.h"
#include "sim_test_support.h"

namespace tk358::sim {
namespace {

using namespace std::chrono_literals;

SimConfig At(int kind, int hour, int minute) {
    SimConfig config = DefaultConfig(kind);
    config.clockSeconds = PanelSeconds({2001, 3, 1, hour, minute, 0});
    return config;
}

TEST(ProcessModelTest, RegulatorsSettleAtTheirSetPoints) {
    struct Case {
        int kind;
        double setpoint;
    };
    for (const Case c : {Case{kKindTemperature, 45.0}, Case{kKindDualZone, 21.0}}) {
        SimPanel panel(At(c.kind, 12, 0));
        bool valveMoved = false;
        for (int i = 0; i < 3600; ++i) {
            panel.Advance(1s);
            valveMoved = valveMoved || panel.Values().valve.motorRunning;
        }
        EXPECT_TRUE(valveMoved) << "kind " << c.kind;
        EXPECT_NEAR(panel.Values().temperature, c.setpoint, 0.5) << "kind " << c.kind;
        EXPECT_NEAR(panel.Values().valve.position, panel.Values().regulator.controlValue, 2.0);
    }
}

TEST(ProcessModelTest, LockedCvHoldsTheValveWhereItWasPut) {
    SimPanel panel(At(kKindDualZone, 12, 0));
    test::Ask(panel, "02850001");
    test::Ask(panel, "028400" + HexText(EncodeFloat(80.0), 8));
    panel.Advance(600s);
    EXPECT_DOUBLE_EQ(panel.Values().regulator.controlValue, 80.0);
    EXPECT_NEAR(panel.Values().valve.position, 80.0, 1.0);
    EXPECT_GT(panel.Values().temperature, 25.0) << "80 % heats past the set point";
}

TEST(ProcessModelTest, DualZoneFollowsTheSwitchOnTimes) {
    struct Case {
        int hour;
        int minute;
        int zone;
        int setpoint;
    };
    const Case cases[] = {
        {5, 59, 1, 1800}, {6, 0, 0, 2100}, {21, 59, 0, 2100}, {22, 0, 1, 1800}, {0, 0, 1, 1800},
    };
    for (const Case& c : cases) {
        SimPanel panel(At(kKindDualZone, c.hour, c.minute));
        EXPECT_EQ(panel.Values().zone, c.zone) << c.hour << ":" << c.minute;
        EXPECT_EQ(panel.Values().setpoint, c.setpoint) << c.hour << ":" << c.minute;
    }
    // Set point 2 from 01:00 to set point 1 from 23:00: the first zone runs over midnight.
    SimPanel panel(At(kKindDualZone, 0, 30));
    panel.SetParameter(138, 138);
    panel.SetParameter(139, 6);
    EXPECT_EQ(panel.Values().zone, 0);
    panel.Advance(31min);
    EXPECT_EQ(panel.Values().zone, 1);
}

TEST(ProcessModelTest, ThresholdRelaysSwitchWithHysteresisByDayAndNight) {
    struct Case {
        int hour;
        double temperature;
        bool relay1;
        bool relay2;
    };
    // Day: T1 21.0, T2 20.0; night: T1 18.0, T2 17.0; hystereses 0.5.
    const Case cases[] = {
        {12, 20.4, true, false},  {12, 19.4, true, true},   {12, 20.6, false, false},
        {12, 21.5, false, false}, {23, 20.4, false, false}, {23, 17.4, true, false},
        {23, 16.4, true, true},
    };
    for (const Case& c : cases) {
        SimPanel panel(At(kKindThreshold, c.hour, 0));
        panel.Process().SetTemperature(c.temperature);
        panel.Advance(100ms);
        EXPECT_EQ(panel.Values().relays.relay1, c.relay1) << c.hour << "h " << c.temperature;
        EXPECT_EQ(panel.Values().relays.relay2, c.relay2) << c.hour << "h " << c.temperature;
    }

    // Inside the hysteresis a relay keeps its state: on while heating up to T1.
    SimPanel panel(At(kKindThreshold, 12, 0));
    panel.Process().SetTemperature(20.0);
    panel.Advance(100ms);
    ASSERT_TRUE(panel.Values().relays.relay1);
    panel.Process().SetTemperature(20.8);
    panel.Advance(100ms);
    EXPECT_TRUE(panel.Values().relays.relay1);
    panel.Process().SetTemperature(21.0);
    panel.Advance(100ms);
    EXPECT_FALSE(panel.Values().relays.relay1);
}

TEST(ProcessModelTest, OneChannelAndOldFirmwareThresholdRegulators) {
    SimPanel oneChannel(At(kKindThreshold, 12, 0));
    oneChannel.SetParameter(165, 1);
    oneChannel.Process().SetTemperature(10.0);
    oneChannel.Advance(100ms);
    EXPECT_TRUE(oneChannel.Values().relays.relay1);
    EXPECT_FALSE(oneChannel.Values().relays.relay2);

    SimConfig old = At(kKindThreshold, 23, 0);
    old.firmwareVersion = 100;
    SimPanel oldPanel(old);
    oldPanel.Process().SetTemperature(19.4);
    oldPanel.Advance(100ms);
    EXPECT_EQ(oldPanel.Values().zone, 0) << "no night set";
    EXPECT_TRUE(oldPanel.Values().relays.relay1) << "day thresholds all day";
    EXPECT_TRUE(oldPanel.Values().relays.relay2);
}

TEST(ProcessModelTest, VentilationFansFollowThresholdsAndAiring) {
    SimPanel panel(At(kKindVentilation, 12, 0));
    panel.SetParameter(76, 0);  // no airing
    panel.Process().SetTemperature(28.5);
    panel.Advance(100ms);
    EXPECT_EQ(panel.Values().ventilation.virtualFans, 3);
    EXPECT_EQ(panel.Values().ventilation.fans, 3);
    panel.SetParameter(77, 2);  // only fan 2 fitted
    panel.Advance(100ms);
    EXPECT_EQ(panel.Values().ventilation.fans, 2);
    panel.Process().SetTemperature(24.5);  // below T1 by less than H1: fan 1 stays on
    panel.Advance(100ms);
    EXPECT_EQ(panel.Values().ventilation.virtualFans, 1);
    panel.Process().SetTemperature(23.9);
    panel.Advance(100ms);
    EXPECT_EQ(panel.Values().ventilation.virtualFans, 0);

    // Airing: the first CP minutes of every OP-minute period, when warm enough.
    SimPanel airing(At(kKindVentilation, 12, 0));
    airing.SetParameter(78, 1);
    airing.SetParameter(79, 3);
    airing.Process().SetTemperature(20.0);
    airing.Advance(30s);
    EXPECT_EQ(airing.Values().ventilation.fans, 3);
    airing.Process().SetTemperature(20.0);
    airing.Advance(60s);
    EXPECT_EQ(airing.Values().ventilation.fans, 0);
    airing.Process().SetTemperature(20.0);
    airing.Advance(95s);
    EXPECT_EQ(airing.Values().ventilation.periodStart, 180);
    EXPECT_EQ(airing.Values().ventilation.fans, 3);
}

TEST(ProcessModelTest, DrainValveRunsThroughItsStates) {
    SimPanel panel(At(kKindDrainValve, 12, 0));
    std::vector<int> states{panel.Values().drain.state};
    for (int i = 0; i < 1200; ++i) {
        panel.Advance(100ms);
        if (panel.Values().drain.state != states.back()) {
            states.push_back(panel.Values().drain.state);
        }
    }
    const std::vector<int> cycle = {kDrainInit,   kDrainOk,   kDrainTempUnder, kDrainRequest,
                                    kDrainInDrop, kDrainWait, kDrainOk};
    ASSERT_GE(states.size(), cycle.size());
    EXPECT_EQ(std::vector<int>(states.begin(), states.begin() + 7), cycle);

    // A drain that does not bring the temperature in time ends without control.
    SimPanel slow(At(kKindDrainValve, 12, 0));
    slow.SetParameter(64, 30);  // 3.0 s
    slow.Process().SetTemperature(10.0);
    slow.Advance(5s);
    ASSERT_EQ(slow.Values().drain.state, kDrainInDrop);
    EXPECT_TRUE(slow.Values().drain.valveOpen);
    slow.Advance(4s);
    EXPECT_EQ(slow.Values().drain.state, kDrainNoControl);
    EXPECT_FALSE(slow.Values().drain.valveOpen);
}

TEST(ProcessModelTest, TheSameTimeInAnySlicingGivesTheSameLines) {
    for (int kind = 0; kind < kKindCount; ++kind) {
        SimPanel coarse(At(kind, 5, 50));
        SimPanel fine(At(kind, 5, 50));
        coarse.Advance(20min);
        for (int i = 0; i < 20 * 60 * 4; ++i) {
            fine.Advance(250ms);
        }
        EXPECT_EQ(coarse.StatusLines(), fine.StatusLines()) << "kind " << kind;
    }
}

TEST(PanelCalendarTest, SecondsSince2000BothWays) {
    struct Case {
        CalendarTime time;
        uint32_t seconds;
    };
    const Case cases[] = {
        {{2000, 1, 1, 0, 0, 0}, 0},
        {{2000, 2, 29, 0, 0, 0}, 5'097'600},
        {{2001, 1, 1, 0, 0, 0}, 31'622'400},
        {{2001, 3, 1, 0, 0, 0}, 36'720'000},
        {{2004, 12, 31, 23, 59, 59}, 5 * 31'536'000 + 2 * 86400 - 1},
        {{2024, 2, 29, 12, 30, 15}, 762'525'015},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PanelSeconds(c.time), c.seconds) << c.seconds;
        EXPECT_EQ(CalendarFromPanelSeconds(c.seconds), c.time) << c.seconds;
    }
}

}  // namespace
}  // namespace tk358::sim
