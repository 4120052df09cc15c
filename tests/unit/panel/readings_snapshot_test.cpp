// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/readings_snapshot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_panel.h"

namespace tk358 {
namespace {

using Calls = std::vector<std::string>;

TEST(ReadingsSnapshotTest, CopiesRecordsInTickOrderByDeviceType) {
    const Calls common = {"link",       "identity", "temperature", "setpoint",   "regulator",
                          "parameters", "valve",    "drain",       "ventilation"};
    struct Case {
        uint8_t deviceType;
        Calls extra;
    };
    const Case cases[] = {
        {kTemperatureController, {}},
        {kDrainValveController, {}},
        {kVentilationController, {}},
        {kDualZoneController, {"zone", "clock"}},
        {kThresholdRegulator, {"zone", "relay", "clock"}},
        {kUnknownDevice, {}},
    };
    for (const Case& c : cases) {
        test::FakePanel panel;
        panel.identity.deviceType = c.deviceType;
        TakeSnapshot(panel);
        Calls expected = common;
        expected.insert(expected.end(), c.extra.begin(), c.extra.end());
        EXPECT_EQ(panel.Reads(), expected) << "device type " << int{c.deviceType};
    }
}

TEST(ReadingsSnapshotTest, CopiesTheRecordsAndTheLinkState) {
    test::FakePanel panel;
    panel.identity.deviceType = kThresholdRegulator;
    panel.identity.serialNumber = 4321;
    panel.temperature = {21.5, 1, 1};
    panel.relay.relay2 = 1;
    panel.relay.valid = 1;
    panel.clock.time.year = 2024;
    panel.clock.valid = 1;
    panel.parameters.Store(165, 2);

    ReadingsSnapshot s = TakeSnapshot(panel);
    EXPECT_TRUE(s.connected);
    EXPECT_EQ(s.identity.serialNumber, 4321);
    EXPECT_EQ(s.temperature.temperature, 21.5);
    EXPECT_EQ(s.temperature.sensorError, 1);
    EXPECT_EQ(s.relay.relay2, 1);
    EXPECT_EQ(s.clock.time.year, 2024);
    EXPECT_EQ(s.parameters.Unsigned16(165), 2);

    panel.linkStatus = kStatusFailed;
    EXPECT_FALSE(TakeSnapshot(panel).connected);
}

TEST(ReadingsSnapshotTest, RecordsNotCopiedForTheTypeStayInvalid) {
    // A clock left valid in the session by an earlier dual-zone panel must not
    // reach the status line of a temperature controller.
    test::FakePanel panel;
    panel.identity.deviceType = kTemperatureController;
    panel.clock.valid = 1;
    panel.activeZone.valid = 1;
    panel.relay.valid = 1;
    const ReadingsSnapshot s = TakeSnapshot(panel);
    EXPECT_EQ(s.clock.valid, 0);
    EXPECT_EQ(s.activeZone.valid, 0);
    EXPECT_EQ(s.relay.valid, 0);
}

}  // namespace
}  // namespace tk358
