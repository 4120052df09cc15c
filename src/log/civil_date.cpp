// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/civil_date.h"

namespace tk358 {

int64_t DaysFromCivil(int year, int month, int day) {
    // Howard Hinnant's days_from_civil: years counted from March, so the leap
    // day ends a year, in eras of 400 years.
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace tk358
