// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/panel_clock_rules.h"

#include <chrono>

namespace tk358 {

int DayOfWeek(int year, int month, int day) {
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{unsigned(month)},
                              std::chrono::day{unsigned(day)}};
    return static_cast<int>(weekday{sys_days{date}}.c_encoding());
}

bool SameToTheSecond(const SystemTime& a, const SystemTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

std::optional<SystemTime> ClockToWrite(int year, int month, int day, int hour, int minute,
                                       int second) {
    if (year < kEarliestClockYear) {
        return std::nullopt;
    }
    SystemTime t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.dayOfWeek = static_cast<uint16_t>(DayOfWeek(year, month, day));
    t.day = static_cast<uint16_t>(day);
    t.hour = static_cast<uint16_t>(hour);
    t.minute = static_cast<uint16_t>(minute);
    t.second = static_cast<uint16_t>(second);
    t.milliseconds = 0;
    return t;
}

}  // namespace tk358
