// SPDX-License-Identifier: GPL-3.0-or-later
// Day numbers of calendar dates, the base of dated log names and of the
// times read back from a log.

#include <gtest/gtest.h>

#include <ctime>

#include "log/civil_date.h"

namespace tk358 {
namespace {

TEST(DaysFromCivil, CountsDaysAcrossLeapRulesAndEras) {
    struct Case {
        int year, month, day;
        int64_t days;
    };
    const Case cases[] = {
        {1970, 1, 1, 0},       {1969, 12, 31, -1},      {2000, 2, 29, 11016},
        {2000, 3, 1, 11017},   {1900, 3, 1, -25508},    {2100, 3, 1, 47541},
        {2026, 3, 7, 20519},   {1600, 2, 29, -135081},  {0, 3, 1, -719468},
        {-1, 12, 31, -719529}, {9999, 12, 31, 2932896},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DaysFromCivil(c.year, c.month, c.day), c.days)
            << c.year << '-' << c.month << '-' << c.day;
    }
}

TEST(DaysFromCivil, AgreesWithTheCLibraryOnEveryDayOfACentury) {
    for (int64_t n = DaysFromCivil(1950, 1, 1); n < DaysFromCivil(2050, 1, 1); ++n) {
        const std::time_t time = static_cast<std::time_t>(n) * 86400;
        std::tm t{};
        gmtime_r(&time, &t);
        ASSERT_EQ(DaysFromCivil(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday), n)
            << t.tm_year + 1900 << '-' << t.tm_mon + 1 << '-' << t.tm_mday;
    }
}

}  // namespace
}  // namespace tk358
