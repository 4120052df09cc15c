// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/panel_clock.h"

#include <gtest/gtest.h>

namespace tk358 {
namespace {

TEST(PanelClockTest, DecodesSecondsWithTheWeekdayOfThatDate) {
    struct Case {
        uint32_t seconds;
        SystemTime time;  // year, month, day of week, day, hour, minute, second, ms
    };
    const Case cases[] = {
        {0, {2000, 1, 6, 1, 0, 0, 0, 0}},
        {5'097'600, {2000, 2, 2, 29, 0, 0, 0, 0}},
        {31'622'399, {2000, 12, 0, 31, 23, 59, 59, 0}},
        {31'622'400, {2001, 1, 1, 1, 0, 0, 0, 0}},
        {31'622'400 + 5'097'600, {2001, 3, 4, 1, 0, 0, 0, 0}},
        {126'230'400, {2004, 1, 4, 1, 0, 0, 0, 0}},
        {157'852'799, {2004, 12, 5, 31, 23, 59, 59, 0}},
        {771'770'096, {2024, 6, 6, 15, 12, 34, 56, 0}},
        {3'155'759'999u, {2099, 12, 4, 31, 23, 59, 59, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodePanelSeconds(c.seconds), c.time) << c.seconds;
    }
}

TEST(PanelClockTest, EncodesDates) {
    EXPECT_EQ(EncodePanelSeconds({2000, 1, 0, 1, 0, 0, 0, 0}), 0u);
    EXPECT_EQ(EncodePanelSeconds({2001, 3, 0, 1, 0, 0, 0, 0}), 36'720'000u);
    // Day of week and milliseconds are not part of the count.
    EXPECT_EQ(EncodePanelSeconds({2024, 6, 3, 15, 12, 34, 56, 999}), 771'770'096u);
}

TEST(PanelClockTest, EveryDayRoundTrips) {
    for (uint32_t day = 0; day < 36'525; ++day) {
        const uint32_t seconds = day * 86'400 + 45'296;  // 12:34:56
        const SystemTime t = DecodePanelSeconds(seconds);
        ASSERT_EQ(EncodePanelSeconds(t), seconds) << day;
        ASSERT_EQ(t.dayOfWeek, (6 + day) % 7) << day;
    }
}

TEST(PanelClockTest, RefusesTimesTheCountCannotHold) {
    const SystemTime refused[] = {
        {1999, 12, 0, 31, 0, 0, 0, 0}, {2001, 0, 0, 1, 0, 0, 0, 0},  {2001, 13, 0, 1, 0, 0, 0, 0},
        {2001, 2, 0, 29, 0, 0, 0, 0},  {2001, 1, 0, 0, 0, 0, 0, 0},  {2001, 1, 0, 1, 24, 0, 0, 0},
        {2001, 1, 0, 1, 0, 60, 0, 0},  {2001, 1, 0, 1, 0, 0, 60, 0}, {2137, 1, 0, 1, 0, 0, 0, 0},
    };
    for (const SystemTime& t : refused) {
        EXPECT_FALSE(EncodePanelSeconds(t)) << t.year << "-" << t.month << "-" << t.day;
    }
    EXPECT_TRUE(EncodePanelSeconds({2136, 1, 0, 1, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace tk358
