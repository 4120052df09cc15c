// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/panel_calendar.h"

namespace tk358::sim {

namespace {

constexpr uint32_t kDay = 86400;

int MonthDays(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year % 4 == 0) {
        return 29;
    }
    return kDays[month - 1];
}

}  // namespace

uint32_t PanelSeconds(const CalendarTime& t) {
    if (t.year < 2000 || t.month < 1 || t.month > 12) {
        return 0;
    }
    uint64_t days =
        static_cast<uint64_t>(t.year - 2000) * 365 + static_cast<uint64_t>((t.year - 1997) / 4);
    for (int m = 1; m < t.month; ++m) {
        days += static_cast<uint64_t>(MonthDays(t.year, m));
    }
    days += static_cast<uint64_t>(t.day > 0 ? t.day - 1 : 0);
    const uint64_t seconds = days * kDay + static_cast<uint64_t>(t.hour) * 3600 +
                             static_cast<uint64_t>(t.minute) * 60 + static_cast<uint64_t>(t.second);
    return static_cast<uint32_t>(seconds);
}

CalendarTime CalendarFromPanelSeconds(uint32_t seconds) {
    CalendarTime t;
    uint32_t days = seconds / kDay;
    uint32_t rest = seconds % kDay;
    for (;;) {
        const uint32_t yearDays = t.year % 4 == 0 ? 366 : 365;
        if (days < yearDays) {
            break;
        }
        days -= yearDays;
        ++t.year;
    }
    while (t.month < 12 && days >= static_cast<uint32_t>(MonthDays(t.year, t.month))) {
        days -= static_cast<uint32_t>(MonthDays(t.year, t.month));
        ++t.month;
    }
    t.day = static_cast<int>(days) + 1;
    t.hour = static_cast<int>(rest / 3600);
    rest %= 3600;
    t.minute = static_cast<int>(rest / 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

uint32_t PanelSecondsFromTm(const std::tm& local) {
    return PanelSeconds({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min, local.tm_sec});
}

uint32_t PanelSecondsNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return PanelSecondsFromTm(local);
}

}  // namespace tk358::sim
