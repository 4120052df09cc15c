// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the measurement log and the status line take from the user's locale:
// the decimal sign, the list separator derived from it, and the "%c" date and
// time text. The program's own numeric locale is never changed.

#include <ctime>
#include <optional>
#include <string>

namespace tk358 {

// The radix character of the named locale's LC_NUMERIC category ("" is the
// user's locale from the environment); nullopt when the locale is unknown.
// A multi-byte radix is returned whole, so the file stays valid UTF-8.
std::optional<std::string> DecimalSignOfLocale(const char* localeName);

// The user's decimal sign, read afresh on each call; "." when the user's
// locale cannot be loaded.
std::string UserDecimalSign();

// Linux has no list separator setting: ';' where the decimal sign is ',',
// otherwise ','.
char ListSeparatorFor(const std::string& decimalSign);

// Sets LC_TIME to the user's locale and LC_NUMERIC to "C": dates and times
// follow the user's regional settings, numbers always use a point. Called
// once at start; the window calls it after the QApplication exists, since Qt
// takes every category from the environment when it starts.
void SetUpProcessLocale();

// The "%c" text of a broken-down time under the current LC_TIME (the program
// sets it to the user's locale at start; a thread may override it with
// uselocale).
std::string FormatDateTime(const std::tm& time);

// "%c" of a calendar time in local time.
std::string FormatLocalDateTime(std::time_t time);

// ISO 8601 local time with its offset from UTC, "2026-10-25T02:30:00+01:00":
// the same whatever the locale, and unambiguous in the hour repeated when
// summer time ends.
std::string FormatIsoDateTime(std::time_t time);

}  // namespace tk358
