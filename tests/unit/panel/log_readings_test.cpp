// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/log_readings.h"

#include <gtest/gtest.h>

#include <string>

#include "panel/value_displays.h"

namespace tk358 {
namespace {

ReadingsSnapshot Connected(uint8_t type) {
    ReadingsSnapshot s;
    s.connected = true;
    s.identity.identified = 1;
    s.identity.deviceType = type;
    s.identity.firmwareVersion = 105;
    s.temperature = {21.5, 0, 1};
    s.setpoint = {2250, 0, 0, 0, 0, 1};
    return s;
}

// A threshold regulator with both channels active, on its day zone.
ReadingsSnapshot TwoChannelRegulator() {
    ReadingsSnapshot s = Connected(kThresholdRegulator);
    s.parameters.Store(165, 2);
    s.parameters.Store(90, 215);
    s.parameters.Store(91, -35);
    s.parameters.SetReadComplete(kThresholdRegulator);
    s.activeZone = {0, 1};
    return s;
}

// The values part of the line written for `s`.
std::string Values(const ReadingsSnapshot& s) {
    LogLineBuilder builder(
        LogEnvironment{[] { return std::string("."); }, [] { return std::string("T"); }});
    builder.Written(builder.Build({kSeparatorSemicolon, kDecimalPoint}, {}));  // header done
    const LogLine line =
        builder.Build({kSeparatorSemicolon, kDecimalPoint}, LogReadingsOf(s, WantsTwoSetpoints(s)));
    return line.text.substr(2, line.text.size() - 4);
}

TEST(LogReadingsTest, ColumnsFollowWhatTheWindowShows) {
    ReadingsSnapshot lost = Connected(kTemperatureController);
    lost.connected = false;
    ReadingsSnapshot noZone = TwoChannelRegulator();
    noZone.activeZone.valid = 0;
    ReadingsSnapshot oneChannel = TwoChannelRegulator();
    oneChannel.parameters.Store(165, 1);
    ReadingsSnapshot notRead = TwoChannelRegulator();
    notRead.parameters = ParameterSet();
    ReadingsSnapshot sensorFault = Connected(kDualZoneController);
    sensorFault.temperature.sensorError = 1;

    struct Case {
        const char* what;
        ReadingsSnapshot snapshot;
        const char* values;
    };
    const Case cases[] = {
        {"second column repeats the set point", Connected(kTemperatureController),
         "21.5;22.5;22.5"},
        // A threshold regulator's set points are the thresholds its displays
        // show, whatever set-point reading the session holds.
        {"second display in use", TwoChannelRegulator(), "21.5;21.5;-3.5"},
        {"second display without a zone", noZone, "21.5;???;???"},
        {"one channel active", oneChannel, "21.5;21.5;21.5"},
        {"thresholds not read", notRead, "21.5;???;???"},
        {"sensor fault", sensorFault, "???;22.5;22.5"},
        {"link lost", lost, "???;???;???"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Values(c.snapshot), c.values) << c.what;
    }
}

}  // namespace
}  // namespace tk358
