// SPDX-License-Identifier: GPL-3.0-or-later
// Every parameter's text as the dialogs show it reads back as the same value,
// and the field rules keep their codes' bounds.

#include <gtest/gtest.h>

#include <string>

#include "panel/regulation_fields.h"

namespace tk358 {
namespace {

TEST(FieldRulesTest, EveryParameterTextReadsBackAsItsValue) {
    for (const ParameterInfo& info : param_table::kParameters) {
        const FieldRule rule = CodeRule(info.code, "");
        const ParameterBounds b = info.bounds;
        for (const int value : {b.min, b.max, b.min + (b.max - b.min) / 3}) {
            const std::string text = FieldText(rule, value);
            if (info.format.shown == ShownAs::kReal) {
                EXPECT_EQ(CheckReal(rule, text), value) << info.key << " " << text;
            } else {
                EXPECT_EQ(CheckField(rule, text), value) << info.key << " " << text;
            }
        }
        EXPECT_EQ(CheckField(rule, FieldText(rule, b.max + 1)), std::nullopt) << info.key;
        EXPECT_EQ(CheckField(rule, FieldText(rule, b.min - 1)), std::nullopt) << info.key;
    }
}

TEST(FieldRulesTest, TextsOfEachKindOfValue) {
    const struct {
        int code;
        int value;
        const char* text;
    } cases[] = {
        {param::kDeadBand, 255, "25.5"},   {param::kZone1Setpoint, -1234, "-12.34"},
        {param::kTi, 9999, "9999"},        {param::kZone1SwitchOn, 45, "7:30"},
        {param::kNightStart, 0, "0:00"},   {param::kAiringTime, 100, "100"},
        {param::kVentT1, -2000, "-200.0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FieldText(CodeRule(c.code, ""), c.value), c.text) << c.code;
    }
    // A time of day typed as text: hours x 6 + minutes / 10.
    const FieldRule start = CodeRule(param::kDayStart, "");
    EXPECT_EQ(CheckField(start, "7:35"), 45);
    EXPECT_EQ(CheckField(start, "23:59"), 143);
    EXPECT_EQ(CheckField(start, "24:00"), std::nullopt);
    EXPECT_EQ(CheckField(start, "7"), 42);
}

TEST(FieldRulesTest, RulesTakeTheirCodesEntryAndBounds) {
    using E = FieldRule::Entry;
    const struct {
        const FieldRule& rule;
        E entry;
        int min;
        int max;
    } cases[] = {
        {rules::kDeadBand, E::Tenths, 0, 255},
        {rules::kMinOnTime, E::Tenths, 1, 9999},
        {rules::kVentThreshold, E::Tenths, -2000, 5500},
        {rules::kAiringPeriod, E::Whole, 0, 100},
        {rules::kKp, E::Tenths, 0, 9999},
        {rules::kTa, E::Whole, 0, 9999},
        {rules::kCv, E::Real, -100, 100},
        {rules::kSetpoint, E::Hundredths, -20000, 55000},
        {rules::kZone2Setpoint, E::Hundredths, -20000, 55000},
        {rules::kZone1SwitchOn, E::TimeOfDay, 0, 143},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rule.entry, c.entry) << c.rule.message;
        EXPECT_EQ(c.rule.min, c.min) << c.rule.message;
        EXPECT_EQ(c.rule.max, c.max) << c.rule.message;
    }
    EXPECT_EQ(CheckReal(rules::kCv, "33,33"), 33.33);
    EXPECT_EQ(CheckReal(rules::kCv, "100.01"), std::nullopt);
}

}  // namespace
}  // namespace tk358
