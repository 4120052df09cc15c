// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/parameter_codes.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "link/parameter_set.h"
#include "link/records.h"

namespace tk358 {
namespace {

using Bytes = std::vector<std::string>;

TEST(ParameterCodesTest, ByteTextsMostSignificantFirst) {
    struct Case {
        int code;
        int64_t value;
        Bytes bytes;
    };
    const Case cases[] = {
        {90, -2000, {"F8", "30"}},
        {32, -1, {"FF", "FF"}},
        {33, 300, {"01", "2C"}},
        {36, 5, {"05"}},
        {38, 1, {"01"}},
        {76, -1, {"FF"}},
        {6, -100, {"FF", "FF", "FF", "9C"}},
        {132, 55000, {"00", "00", "D6", "D8"}},
        {165, 2, {"00", "02"}},
        {1, 70000, {"11", "70"}},  // cut to the width
        {0, 2500, {}},
        {166, 1, {}},
        {2, 1, {}},
        {94, 1, {}},
        {147, 1, {}},
        {-1, 1, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParameterByteTexts(c.code, c.value), c.bytes) << "code " << c.code;
    }
}

// Every code with a write format has a cache slot, and the full reads fetch
// only cached codes.
TEST(ParameterCodesTest, WritableAndReadCodesHaveCacheSlots) {
    for (int code = -1; code <= 200; ++code) {
        if (WriteFormatOf(code)) {
            EXPECT_TRUE(ParameterSet::HasSlot(code)) << code;
        }
    }
    for (int kind = 0; kind <= 5; ++kind) {
        for (const int code : FullReadCodes(kind)) {
            EXPECT_TRUE(ParameterSet::HasSlot(code)) << kind << " " << code;
        }
    }
    EXPECT_TRUE(FullReadCodes(kUnknownDevice).empty());
}

// Each setting has one settings-file key, the upper-case form of its
// constant's name, that finds it again.
TEST(ParameterCodesTest, KeysAreUniqueAndFindTheirSetting) {
    std::set<std::string> keys;
    for (const ParameterInfo& info : param_table::kParameters) {
        const std::string key = info.key;
        EXPECT_TRUE(keys.insert(key).second) << key;
        EXPECT_EQ(key.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"), std::string::npos)
            << key;
        EXPECT_EQ(FindParameterByKey(key), &info);
        EXPECT_NE(std::string(info.label), "") << key;
    }
    EXPECT_EQ(FindParameterByKey("NO_SUCH_KEY"), nullptr);
    EXPECT_EQ(FindParameterByKey("zone1_setpoint"), nullptr);
    EXPECT_EQ(FindParameterByKey("ZONE1_SETPOINT")->code, param::kZone1Setpoint);
}

// The settings without a parameter code are never read or written as parameters.
TEST(ParameterCodesTest, CommandSettingsHaveNoSlotAndNoParameterWrite) {
    for (const int code : {param::kSetpoint, param::kCv, param::kDualCvLock}) {
        EXPECT_FALSE(WriteFormatOf(code)) << code;
        EXPECT_TRUE(ParameterByteTexts(code, 1).empty()) << code;
    }
    EXPECT_FALSE(ParameterSet::HasSlot(param::kCv));
    EXPECT_FALSE(ParameterSet::HasSlot(param::kDualCvLock));
}

TEST(ParameterCodesTest, ThresholdRegulatorExtrasAreTheLaterFirmwareCodes) {
    for (const int code : FullReadCodes(kThresholdRegulator)) {
        EXPECT_FALSE(Parameter(code).laterFirmware) << code;
    }
    for (const int code : ThresholdExtraCodes()) {
        EXPECT_TRUE(Parameter(code).laterFirmware) << code;
    }
}

TEST(ParameterCodesTest, TimesOfDayInTenMinuteSteps) {
    const struct {
        int steps, hours, minutes;
    } cases[] = {{0, 0, 0}, {45, 7, 30}, {13, 2, 10}, {143, 23, 50}, {-1, 0, -10}};
    for (const auto& c : cases) {
        EXPECT_EQ(TimeOfDayHours(c.steps), c.hours) << c.steps;
        EXPECT_EQ(TimeOfDayMinutes(c.steps), c.minutes) << c.steps;
    }
}

}  // namespace
}  // namespace tk358
