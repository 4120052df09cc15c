// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Rules of the "Data i czas" dialog that need no widget.

#include <optional>

#include "link/records.h"

namespace tk358 {

// The panel counts its clock from 2000-01-01 and has a leap day in every
// fourth year, which holds up to the end of 2099.
inline constexpr int kEarliestClockYear = 2000;
inline constexpr int kLatestClockYear = 2099;

// 0 Sunday .. 6 Saturday (Gregorian calendar).
int DayOfWeek(int year, int month, int day);

// Year, month, day, hour, minute and second are equal; the day of the week and
// the milliseconds are not compared.
bool SameToTheSecond(const SystemTime& a, const SystemTime& b);

// The clock to write: the date chosen in the calendar with the time of day of
// the time picker, its day of the week, and milliseconds 0 as the panel's
// clock has none: a time equal to the panel's to the second then matches the
// panel's clock as a whole and is not sent again. Nothing when the year is
// before kEarliestClockYear.
std::optional<SystemTime> ClockToWrite(int year, int month, int day, int hour, int minute,
                                       int second);

}  // namespace tk358
