// SPDX-License-Identifier: GPL-3.0-or-later
// Decisions of the set-point, PID, CV, information and clock dialogs that need no widget.

#include <gtest/gtest.h>

#include "present/panel_clock_rules.h"
#include "present/pid_cv_rules.h"

namespace tk358 {
namespace {

TEST(PanelClockRulesTest, ClockToWriteCarriesItsDayOfWeekAndNoMilliseconds) {
    const struct {
        int year, month, day, dayOfWeek;
    } cases[] = {
        {2000, 1, 1, 6},  {2000, 2, 29, 2}, {2000, 3, 1, 3},   {2009, 3, 15, 0},
        {2024, 2, 29, 4}, {2038, 1, 19, 2}, {2099, 12, 31, 4},
    };
    for (const auto& c : cases) {
        const std::optional<SystemTime> t = ClockToWrite(c.year, c.month, c.day, 13, 14, 15);
        ASSERT_TRUE(t.has_value()) << c.year;
        EXPECT_EQ(t->dayOfWeek, c.dayOfWeek) << c.year << '-' << c.month << '-' << c.day;
        EXPECT_EQ(t->milliseconds, 0);
        EXPECT_EQ((SystemTime{uint16_t(c.year), uint16_t(c.month), t->dayOfWeek, uint16_t(c.day),
                              13, 14, 15, 0}),
                  *t);
    }
    EXPECT_FALSE(ClockToWrite(1999, 12, 31, 23, 59, 59).has_value());
    EXPECT_FALSE(ClockToWrite(1752, 9, 14, 0, 0, 0).has_value());
}

TEST(PanelClockRulesTest, PanelClockEqualToTheChoiceIsTheSameClock) {
    // The panel's clock as decoded (no milliseconds) against the clock written
    // for the same second: equal as a whole, so nothing needs sending.
    SystemTime panel{2024, 2, 4, 29, 23, 59, 58, 0};
    EXPECT_EQ(*ClockToWrite(2024, 2, 29, 23, 59, 58), panel);
    SystemTime pc = panel;
    pc.milliseconds = 999;
    pc.dayOfWeek = 0;
    EXPECT_TRUE(SameToTheSecond(pc, panel));
    pc.second = 59;
    EXPECT_FALSE(SameToTheSecond(pc, panel));
}

TEST(PidCvRulesTest, PidValuesNeedTheParametersOfThePanelsOwnKind) {
    const struct {
        int kind, completeKind;
        bool readable;
    } cases[] = {
        {0, 0, true},  {3, 3, true},  {0, 3, false}, {3, 0, false},
        {1, 1, false}, {1, 0, false}, {4, 4, false}, {5, 0, false},
    };
    for (const auto& c : cases) {
        ParameterSet parameters;
        parameters.SetReadComplete(c.completeKind);
        EXPECT_EQ(PidReadable(c.kind, parameters), c.readable)
            << "kind " << c.kind << ", read kind " << c.completeKind;
    }
}

}  // namespace
}  // namespace tk358
