// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/setpoint_text.h"

#include <gtest/gtest.h>

#include "panel/regulation_fields.h"

namespace tk358 {
namespace {

TEST(SetpointTextTest, StoredSetpointShownWithOneDecimal) {
    const std::pair<int, const char*> cases[] = {
        {2345, "23.5"},   {2341, "23.4"},   {2346, "23.5"},   {0, "0.0"},
        {1, "0.0"},       {4, "0.1"},       {6, "0.1"},       {-5, "-0.1"},
        {-2341, "-23.4"}, {-2345, "-23.5"}, {55000, "550.0"},
    };
    for (auto [stored, text] : cases) {
        EXPECT_EQ(FormatSetpointOneDecimal(stored), text) << stored;
    }
    EXPECT_EQ(FormatSetpoint(2345), "23.45");
    EXPECT_EQ(FormatSetpoint(-5), "-0.05");
}

TEST(SetpointTextTest, ReformatOnLeavingTheField) {
    const std::pair<const char*, const char*> cases[] = {
        {"23.45", "23.4"},
        {"23.46", "23.5"},
        {"-23.46", "-23.5"},
        {"-23.45", "-23.4"},
        {"-0.05", "0.0"},
        {"-0.06", "-0.1"},
        {"7,25", "7,2"},
        {"7,26", "7,3"},
        {"", "0.0"},
        {"abc", "0.0"},
        {"0.05", "0.0"},
        {"0.06", "0.1"},
        {"550", "550.0"},
        {"-200", "-200.0"},
        {"1,2,3", "1,2"},
        {"9.96", "10.0"},
        {"99999999999", "21474836.5"},
    };
    for (auto [typed, shown] : cases) {
        EXPECT_EQ(ReformatSetpointText(typed), shown) << '"' << typed << '"';
    }
}

TEST(SetpointTextTest, SetpointFieldBounds) {
    // The single set point and set point 1 refuse an empty field; set point 2 takes it as 0.
    for (const FieldRule& rule : {rules::kSetpoint, rules::kZone1Setpoint}) {
        EXPECT_EQ(CheckField(rule, "550"), 55000);
        EXPECT_EQ(CheckField(rule, "550.01"), std::nullopt);
        EXPECT_EQ(CheckField(rule, "-200"), -20000);
        EXPECT_EQ(CheckField(rule, "-200,01"), std::nullopt);
        EXPECT_EQ(CheckField(rule, "23,45"), 2345);
        EXPECT_EQ(CheckField(rule, ""), std::nullopt);
        EXPECT_EQ(CheckField(rule, "x"), 0);  // no number is 0, which is in range
    }
    EXPECT_EQ(CheckField(rules::kZone2Setpoint, ""), 0);
}

TEST(SetpointTextTest, SwitchOnTimeShown) {
    const struct {
        int steps, hours, minutes;
    } cases[] = {{0, 0, 0}, {45, 7, 30}, {13, 2, 10}, {143, 23, 50}};
    for (const auto& c : cases) {
        EXPECT_EQ(TimeOfDayHours(c.steps), c.hours);
        EXPECT_EQ(TimeOfDayMinutes(c.steps), c.minutes);
    }
}

TEST(SetpointTextTest, SwitchOnTimeTyped) {
    const struct {
        const char* hours;
        const char* minutes;
        std::optional<int> steps;
    } cases[] = {
        {"7", "35", 45},
        {"23", "59", 143},
        {"24", "0", std::nullopt},
        {"0", "75", 7},
        {"0", "0", 0},
        {"", "", 0},
        {"-1", "5", std::nullopt},
        {"1", "-10", 5},
        {"7,5", "30", 45},
        {"2147483647", "0", std::nullopt},  // hours x 6 must not wrap around
        {"-2147483648", "0", std::nullopt},
        {"0", "2147483647", std::nullopt},
    };
    for (const auto& c : cases) {
        for (const FieldRule& rule : {rules::kZone1SwitchOn, rules::kZone2SwitchOn}) {
            EXPECT_EQ(CheckTimeOfDay(rule, c.hours, c.minutes), c.steps)
                << c.hours << ":" << c.minutes;
        }
    }
}

}  // namespace
}  // namespace tk358
