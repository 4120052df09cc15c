// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/panel_clock.h"

#include <array>

namespace tk358 {

namespace {

constexpr uint32_t kDay = 86'400;
constexpr uint32_t kLeapYear = 366 * kDay;    // 31,622,400
constexpr uint32_t kCommonYear = 365 * kDay;  // 31,536,000

int MonthDays(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year % 4 == 0) {
        return 29;
    }
    return kDays[static_cast<std::size_t>(month - 1)];
}

}  // namespace

uint16_t PanelDayOfWeek(int daysSince2000) {
    // 2000-01-01 was a Saturday.
    return static_cast<uint16_t>((6 + daysSince2000 % 7) % 7);
}

SystemTime DecodePanelSeconds(uint32_t seconds) {
    uint32_t s = seconds;
    int year = 2000;
    // Four-year cycles: one leap year followed by three common years.
    while (s >= kLeapYear) {
        s -= kLeapYear;
        ++year;
        for (int i = 0; i < 3 && s >= kCommonYear; ++i) {
            s -= kCommonYear;
            ++year;
        }
        if (year % 4 != 0) {
            break;
        }
    }
    int month = 1;
    while (month < 12 && s >= static_cast<uint32_t>(MonthDays(year, month)) * kDay) {
        s -= static_cast<uint32_t>(MonthDays(year, month)) * kDay;
        ++month;
    }
    SystemTime t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(s / kDay + 1);
    s %= kDay;
    t.hour = static_cast<uint16_t>(s / 3600);
    t.minute = static_cast<uint16_t>(s % 3600 / 60);
    t.second = static_cast<uint16_t>(s % 60);
    t.dayOfWeek = PanelDayOfWeek(static_cast<int>(seconds / kDay));
    return t;
}

std::optional<uint32_t> EncodePanelSeconds(const SystemTime& t) {
    const int year = t.year;
    const int month = t.month;
    if (year < 2000 || month < 1 || month > 12 || t.day < 1 || t.day > MonthDays(year, month) ||
        t.hour > 23 || t.minute > 59 || t.second > 59) {
        return std::nullopt;
    }
    // Leap days of the years 2000 .. year - 1.
    int64_t days = int64_t{year - 2000} * 365 + (year - 1997) / 4;
    for (int m = 1; m < month; ++m) {
        days += MonthDays(year, m);
    }
    days += t.day - 1;
    const int64_t total = days * kDay + t.hour * 3600 + t.minute * 60 + t.second;
    if (total > int64_t{UINT32_MAX}) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(total);
}

}  // namespace tk358
