// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The panel's clock counts seconds since 2000-01-01 00:00:00 in panel local
// time, with every year divisible by 4 a leap year (true until 2100).

#include <cstdint>
#include <ctime>

namespace tk358::sim {

struct CalendarTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const CalendarTime&, const CalendarTime&) = default;
};

// Seconds since 2000-01-01 for a date of 2000..2135; earlier dates give 0.
uint32_t PanelSeconds(const CalendarTime& t);

CalendarTime CalendarFromPanelSeconds(uint32_t seconds);

// The panel seconds of a broken-down local time (as localtime_r gives it).
uint32_t PanelSecondsFromTm(const std::tm& local);

// The panel seconds of the computer's local time now.
uint32_t PanelSecondsNow();

// Seconds since midnight.
inline uint32_t SecondOfDay(uint32_t panelSeconds) {
    return panelSeconds % 86400u;
}

}  // namespace tk358::sim
