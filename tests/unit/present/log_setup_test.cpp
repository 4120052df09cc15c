// SPDX-License-Identifier: GPL-3.0-or-later
// Logging setup rules: the interval shown by the picker and the file extension.

#include <gtest/gtest.h>

#include <string>

#include "present/log_setup.h"

namespace tk358 {
namespace {

TEST(LogSetupTest, IntervalShownAsTimeOfDayWithinBounds) {
    struct Row {
        int seconds;
        ClockTime shown;
    };
    const Row rows[] = {
        {3725, {1, 2, 5}}, {1, {0, 0, 1}},        {59, {0, 0, 59}},
        {60, {0, 1, 0}},   {86399, {23, 59, 59}}, {0, {0, 0, 1}},
        {-40, {0, 0, 1}},  {86400, {23, 59, 59}}, {90000, {23, 59, 59}},
    };
    for (const Row& row : rows) {
        const ClockTime t = IntervalToClock(row.seconds);
        EXPECT_EQ(t.hours, row.shown.hours) << row.seconds;
        EXPECT_EQ(t.minutes, row.shown.minutes) << row.seconds;
        EXPECT_EQ(t.seconds, row.shown.seconds) << row.seconds;
    }
}

TEST(LogSetupTest, PickerTimeGivesIntervalOfAtLeastOneSecond) {
    EXPECT_EQ(ClockToInterval({0, 0, 0}), 1);
    EXPECT_EQ(ClockToInterval({0, 0, 1}), 1);
    EXPECT_EQ(ClockToInterval({1, 2, 5}), 3725);
    EXPECT_EQ(ClockToInterval({23, 59, 59}), 86399);
}

TEST(LogSetupTest, NameWithoutExtensionTakesTheFilters) {
    struct Row {
        const char* chosen;
        int filter;
        const char* path;
    };
    const Row rows[] = {
        {"/home/op/raport", 0, "/home/op/raport.txt"},
        {"/home/op/raport", 1, "/home/op/raport.csv"},
        {"raport", 1, "raport.csv"},
        {"/home/op/raport.dat", 1, "/home/op/raport.dat"},
        {"/home/op/raport.txt", 1, "/home/op/raport.txt"},
        {"/home/op.v2/raport", 1, "/home/op.v2/raport.csv"},  // a dot in a folder is no extension
        {"/home/op/", 0, "/home/op/"},
        {"", 1, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(WithFilterExtension(row.chosen, row.filter), std::string(row.path))
            << row.chosen << " filter " << row.filter;
    }
}

}  // namespace
}  // namespace tk358
