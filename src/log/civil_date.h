// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Calendar arithmetic shared by the log's date readers and its file names.

#include <cstdint>

namespace tk358 {

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int year, int month, int day);

}  // namespace tk358
