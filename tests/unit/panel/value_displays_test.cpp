// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/value_displays.h"

#include <gtest/gtest.h>

#include "panel/panel_menu_state.h"

namespace tk358 {
namespace {

constexpr DisplayReading kCleared{false, 0.0, true};

DisplayReading Shown(double value, bool alarm) {
    return {true, value, alarm};
}

ReadingsSnapshot ThresholdRegulator(int firmware, bool read) {
    ReadingsSnapshot s;
    s.connected = true;
    s.identity.identified = 1;
    s.identity.deviceType = kThresholdRegulator;
    s.identity.firmwareVersion = firmware;
    s.parameters.Store(90, 215);
    s.parameters.Store(91, -35);
    s.parameters.Store(160, 180);
    s.parameters.Store(161, -65);
    if (read) {
        s.parameters.SetReadComplete(kThresholdRegulator);
    }
    return s;
}

TEST(ValueDisplaysTest, ThresholdRegulatorSetpointsByZoneAndFirmware) {
    struct Case {
        const char* what;
        int firmware;
        bool read;
        ActiveZone zone;
        DisplayReading first;
        DisplayReading second;
    };
    const Case cases[] = {
        {"firmware 1.00 ignores the zone",
         100,
         true,
         {1, 1},
         Shown(21.5, false),
         Shown(-3.5, false)},
        {"firmware 1.00 without a zone", 100, true, {0, 0}, Shown(21.5, false), Shown(-3.5, false)},
        {"day zone", 105, true, {0, 1}, Shown(21.5, false), Shown(-3.5, false)},
        {"night zone", 105, true, {1, 1}, Shown(18.0, false), Shown(-6.5, false)},
        {"zone not valid", 105, true, {1, 0}, {false, 0.0, false}, {false, 0.0, false}},
        {"parameters not read", 105, false, {1, 1}, kCleared, kCleared},
    };
    for (const Case& c : cases) {
        ReadingsSnapshot s = ThresholdRegulator(c.firmware, c.read);
        s.activeZone = c.zone;
        const ValueDisplayReadings r = ComputeValueDisplays(s, true);
        EXPECT_EQ(r.setpoint, c.first) << c.what;
        ASSERT_TRUE(r.setpoint2.has_value()) << c.what;
        EXPECT_EQ(*r.setpoint2, c.second) << c.what;
    }
}

TEST(ValueDisplaysTest, SecondDisplayIsLeftAloneWhileNotInUse) {
    const ReadingsSnapshot s = ThresholdRegulator(105, true);
    EXPECT_FALSE(ComputeValueDisplays(s, false).setpoint2.has_value());
}

TEST(ValueDisplaysTest, TemperatureAndSetpointReadings) {
    ReadingsSnapshot s;
    s.connected = true;
    s.identity.identified = 1;
    s.identity.deviceType = kDualZoneController;
    EXPECT_EQ(ComputeValueDisplays(s, false).temperature, kCleared);
    EXPECT_EQ(ComputeValueDisplays(s, false).setpoint, kCleared);

    s.temperature = {-12.5, 0, 1};
    s.setpoint.setpoint = -1234;
    s.setpoint.valid = 1;
    ValueDisplayReadings r = ComputeValueDisplays(s, false);
    EXPECT_EQ(r.temperature, Shown(-12.5, false));
    EXPECT_EQ(r.setpoint, Shown(-12.34, false));
    EXPECT_FALSE(r.setpoint2.has_value());

    s.temperature.sensorError = 1;
    s.setpoint.error = 1;
    r = ComputeValueDisplays(s, false);
    EXPECT_EQ(r.temperature, Shown(-12.5, true));
    EXPECT_EQ(r.setpoint, Shown(-12.34, true));
}

TEST(ValueDisplaysTest, AnUnidentifiedPanelUsesTheSetpointReading) {
    ReadingsSnapshot s = ThresholdRegulator(105, true);
    s.identity.identified = 0;
    s.setpoint.setpoint = 2000;
    s.setpoint.valid = 1;
    EXPECT_EQ(ComputeValueDisplays(s, false).setpoint, Shown(20.0, false));
}

TEST(ValueDisplaysTest, LostLinkClearsAllThree) {
    ReadingsSnapshot s = ThresholdRegulator(105, true);
    s.connected = false;
    s.temperature = {20.0, 0, 1};
    const ValueDisplayReadings r = ComputeValueDisplays(s, false);
    EXPECT_EQ(r.temperature, kCleared);
    EXPECT_EQ(r.setpoint, kCleared);
    ASSERT_TRUE(r.setpoint2.has_value());
    EXPECT_EQ(*r.setpoint2, kCleared);
}

TEST(ValueDisplaysTest, TwoSetpointsWantedForTwoActiveChannels) {
    struct Case {
        bool identified;
        uint8_t type;
        bool read;
        int channels;
        bool want;
    };
    const Case cases[] = {
        {true, kThresholdRegulator, true, 2, true},   {true, kThresholdRegulator, true, 1, false},
        {true, kThresholdRegulator, true, 3, false},  {true, kThresholdRegulator, false, 2, false},
        {false, kThresholdRegulator, true, 2, false}, {true, kDualZoneController, true, 2, false},
    };
    for (const Case& c : cases) {
        ReadingsSnapshot s = ThresholdRegulator(105, c.read);
        s.identity.identified = c.identified ? 1 : 0;
        s.identity.deviceType = c.type;
        s.parameters.Store(165, c.channels);
        EXPECT_EQ(WantsTwoSetpoints(s), c.want) << c.channels;
    }
}

TEST(PanelMenuTest, AppliedOnlyWhenTypeOrClockChanges) {
    PanelMenuTracker tracker;
    EXPECT_FALSE(tracker.Update(5, false));  // as the menu was built
    EXPECT_TRUE(tracker.Update(4, false));
    EXPECT_FALSE(tracker.Update(4, false));
    EXPECT_TRUE(tracker.Update(4, true));
    EXPECT_FALSE(tracker.Update(4, true));
    EXPECT_TRUE(tracker.Update(0, true));
}

}  // namespace
}  // namespace tk358
