// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_recorder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tk358 {
namespace {

struct Tick {
    int64_t ms;
    std::optional<double> temperature;
};

// Stored samples of the temperature as "second=value" or "second=gap".
std::vector<std::string> Stored(const TrendRecorder& r) {
    std::vector<std::string> out;
    const TrendBuffer& b = r.Curve(kTrendTemperature);
    for (std::size_t i = 0; i < b.Size(); ++i) {
        const TrendSample& s = b.At(i);
        out.push_back(std::to_string(s.time) + "=" +
                      (s.IsGap() ? std::string("gap") : std::to_string(static_cast<int>(s.value))));
    }
    return out;
}

void Feed(TrendRecorder& r, const std::vector<Tick>& ticks) {
    for (const Tick& t : ticks) {
        r.Tick(t.ms, TrendValues{t.temperature, std::nullopt, std::nullopt});
    }
}

TEST(TrendRecorderTest, StoresOneSampleASecondWhateverTheTickTimes) {
    struct Case {
        const char* what;
        std::vector<Tick> ticks;
        std::vector<std::string> stored;
    };
    const Case cases[] = {
        {"ten ticks a second: the first of each second",
         {{0, 1}, {100, 2}, {900, 3}, {1000, 4}, {1100, 5}, {2050, 6}},
         {"0=1", "1=4", "2=6"}},
        {"jittering ticks",
         {{995, 1}, {1003, 2}, {1998, 3}, {2104, 4}, {2890, 5}, {3001, 6}},
         {"0=1", "1=2", "2=4", "3=6"}},
        {"a short stall is filled with what was shown meanwhile",
         {{0, 1}, {900, 2}, {3100, 3}},
         {"0=1", "1=2", "2=2", "3=3"}},
        {"a long stall is one gap", {{0, 1}, {900, 2}, {20'000, 3}}, {"0=1", "1=gap", "20=3"}},
        {"invalid readings are gaps",
         {{0, 1}, {1000, std::nullopt}, {2000, std::nullopt}, {3000, 4}},
         {"0=1", "1=gap", "2=gap", "3=4"}},
        {"times before 1970 round down", {{-1500, 1}, {-1, 2}, {0, 3}}, {"-2=1", "-1=2", "0=3"}},
    };
    for (const Case& c : cases) {
        TrendRecorder r;
        Feed(r, c.ticks);
        EXPECT_EQ(Stored(r), c.stored) << c.what;
    }
}

TEST(TrendRecorderTest, TellsWhenASecondWasStored) {
    TrendRecorder r;
    const TrendValues v{21.0, 22.0, std::nullopt};
    EXPECT_TRUE(r.Tick(5'000, v));
    EXPECT_FALSE(r.Tick(5'100, v));
    EXPECT_FALSE(r.Tick(5'999, v));
    EXPECT_TRUE(r.Tick(6'000, v));
    EXPECT_TRUE(r.Tick(9'500, v));  // three seconds at once
    EXPECT_EQ(r.Size(), 5u);
}

TEST(TrendRecorderTest, ClockSteppedBackAFewSecondsWaitsForTheNewestSample) {
    TrendRecorder r;
    Feed(r, {{10'000, 1}, {10'500, 2}, {8'000, 3}, {9'000, 4}, {10'900, 5}, {11'000, 6}});
    EXPECT_EQ(Stored(r), (std::vector<std::string>{"10=1", "11=6"}));
}

TEST(TrendRecorderTest, ClockSteppedBackAnHourMovesTheHistoryWithIt) {
    TrendRecorder r;
    const int64_t start = 1'700'003'600'000;
    for (int i = 0; i < 5; ++i) {
        r.Tick(start + i * 1000, TrendValues{20.0 + i, std::nullopt, std::nullopt});
    }
    r.Tick(start + 5000 - 3'600'000, TrendValues{30.0, std::nullopt, std::nullopt});
    const int64_t now = (start + 5000 - 3'600'000) / 1000;
    EXPECT_EQ(Stored(r), (std::vector<std::string>{
                             std::to_string(now - 5) + "=20", std::to_string(now - 4) + "=21",
                             std::to_string(now - 3) + "=22", std::to_string(now - 2) + "=23",
                             std::to_string(now - 1) + "=24", std::to_string(now) + "=30"}));
    // Samples go on one a second from the new time.
    r.Tick(start + 6000 - 3'600'000, TrendValues{31.0, std::nullopt, std::nullopt});
    EXPECT_EQ(r.NewestTime(), now + 1);
}

TEST(TrendRecorderTest, ClockSteppedForwardADayLeavesOnlyTheNewDay) {
    TrendRecorder r;
    Feed(r, {{0, 1}, {1000, 2}, {2 * 86'400'000LL, 3}});
    EXPECT_EQ(Stored(r), (std::vector<std::string>{"172800=3"}));
}

TEST(TrendRecorderTest, KeepsEachCurveApartOnTheSameTimes) {
    TrendRecorder r;
    r.Tick(0, TrendValues{20.0, 21.0, std::nullopt});
    r.Tick(1000, TrendValues{20.5, std::nullopt, 19.0});
    EXPECT_TRUE(r.HasValues(kTrendTemperature));
    EXPECT_TRUE(r.HasValues(kTrendSetpoint));
    EXPECT_TRUE(r.HasValues(kTrendSetpoint2));
    EXPECT_EQ(r.Curve(kTrendSetpoint).At(0).value, 21.0);
    EXPECT_TRUE(r.Curve(kTrendSetpoint).At(1).IsGap());
    EXPECT_TRUE(r.Curve(kTrendSetpoint2).At(0).IsGap());
    EXPECT_EQ(r.Curve(kTrendSetpoint2).At(1).time, 1);
    r.Clear();
    EXPECT_TRUE(r.Empty());
    EXPECT_FALSE(r.HasValues(kTrendTemperature));
}

ReadingsSnapshot Connected(int type) {
    ReadingsSnapshot s;
    s.connected = true;
    s.identity.identified = 1;
    s.identity.deviceType = static_cast<uint8_t>(type);
    s.identity.firmwareVersion = 105;
    s.temperature = {21.5, 0, 1};
    s.setpoint = {2250, 0, 0, 0, 0, 1};
    return s;
}

ReadingsSnapshot TwoChannelThreshold() {
    ReadingsSnapshot s = Connected(kThresholdRegulator);
    s.parameters.Store(90, 215);
    s.parameters.Store(91, -35);
    s.parameters.Store(165, 2);
    s.parameters.SetReadComplete(kThresholdRegulator);
    s.activeZone = {0, 1};
    return s;
}

TEST(TrendRecorderTest, ValuesAreWhatTheDisplaysShowWithoutFaults) {
    struct Case {
        const char* what;
        ReadingsSnapshot readings;
        bool twoSetpoints;
        TrendValues values;
    };
    ReadingsSnapshot lost = Connected(kTemperatureController);
    lost.connected = false;
    ReadingsSnapshot sensorFault = Connected(kTemperatureController);
    sensorFault.temperature.sensorError = 1;
    ReadingsSnapshot setpointFault = Connected(kDualZoneController);
    setpointFault.setpoint.error = 1;
    ReadingsSnapshot invalid = Connected(kDrainValveController);
    invalid.temperature.valid = 0;
    const Case cases[] = {
        {"temperature controller", Connected(kTemperatureController), false, {21.5, 22.5, {}}},
        {"link lost: stale records are not charted", lost, false, {}},
        {"sensor fault", sensorFault, false, {std::nullopt, 22.5, {}}},
        {"set-point fault", setpointFault, false, {21.5, std::nullopt, {}}},
        {"invalid temperature", invalid, false, {std::nullopt, 22.5, {}}},
        {"ventilation controller has no set-point display",
         Connected(kVentilationController),
         false,
         {21.5, std::nullopt, {}}},
        {"threshold regulator, two channels", TwoChannelThreshold(), true, {21.5, 21.5, -3.5}},
        {"second display not in use", TwoChannelThreshold(), false, {21.5, 21.5, std::nullopt}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrendValuesOf(c.readings, c.twoSetpoints), c.values) << c.what;
    }
}

}  // namespace
}  // namespace tk358
