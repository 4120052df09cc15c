// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The panel clock counts seconds since 2000-01-01 00:00:00 in its own local
// time and treats every year divisible by 4 as a leap year (true for 2000-2099,
// and the panel knows no other rule).

#include <cstdint>
#include <optional>

#include "link/records.h"

namespace tk358 {

// The calendar time of a panel seconds count, with the day of the week of
// that date and milliseconds 0.
SystemTime DecodePanelSeconds(uint32_t seconds);

// The seconds count the panel expects for `t`; milliseconds and the day of
// the week are ignored. None when `t` is not a time the count can express
// (before 2000, past the 32-bit range, or a field out of its range).
std::optional<uint32_t> EncodePanelSeconds(const SystemTime& t);

// 0 Sunday .. 6 Saturday, for a date from 2000 on under the panel's leap rule.
uint16_t PanelDayOfWeek(int daysSince2000);

}  // namespace tk358
