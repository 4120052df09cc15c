// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Number and duration texts of the window, the dialogs, the displays and the
// measurement log. They always use a point as the decimal sign, whatever the
// program's numeric locale is.

#include <cstdint>
#include <string>

namespace tk358 {

// printf "%.<decimals>f" in the C locale.
std::string FormatFixed(double value, int decimals);

// printf "%d".
std::string FormatInt(int64_t value);

// "%d:%02d" of hours and minutes.
std::string FormatHoursMinutes(int64_t hours, int64_t minutes);

// "%02d:%02d:%02d" of a number of seconds split into hours, minutes and
// seconds; a negative number counts as 0.
std::string FormatHms(int64_t seconds);

}  // namespace tk358
