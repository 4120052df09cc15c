// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How far the panel's clock is from the computer's, and when tk358d sets it.
// The panel keeps local time and knows no time zone, so both clocks are
// compared as local time; a change of the computer's UTC offset (summer time)
// leaves the panel an hour off until it is set.

#include <chrono>
#include <cstdint>
#include <optional>

#include "link/records.h"

namespace tk358 {

using HostTime = std::chrono::system_clock::time_point;

// A clock within this of the computer's is left alone.
inline constexpr std::chrono::seconds kClockTolerance{60};
// Sets come at most this often.
inline constexpr std::chrono::hours kClockSetPeriod{1};

// The computer's offset from UTC at `at`, in seconds east.
long HostUtcOffset(HostTime at);

// Panel minus computer, in whole seconds, for a panel reading `panel` taken at
// `readAt` with the computer `utcOffset` seconds east of UTC. The panel counts
// whole seconds, so its reading stands for the middle of its second. None when
// `panel` is no time the panel can count.
std::optional<int64_t> PanelClockOffset(const SystemTime& panel, HostTime readAt, long utcOffset);

// The panel's form of the computer's local time at `at` (to the second below;
// the day of the week as the panel reckons it). None outside the panel's range.
std::optional<SystemTime> PanelTimeAt(HostTime at, long utcOffset);

// The sets so far. A failed one counts for the period too: the write has
// tried four times already, and a panel that refuses it would otherwise put a
// warning in the journal every minute.
struct LastClockSet {
    std::optional<std::chrono::steady_clock::time_point> triedAt;  // the last write
    std::optional<long> utcOffset;  // the computer's at the last write that succeeded
};

enum class ClockSetReason { kNone, kOffset, kUtcOffset };

// Whether a clock `offset` seconds off, seen at `now` with the computer
// `utcOffset` east of UTC, is to be set: more than kClockTolerance off, or the
// UTC offset changed since the last set, and never within kClockSetPeriod of
// the last write.
ClockSetReason ClockSetDue(const LastClockSet& last, int64_t offset, long utcOffset,
                           std::chrono::steady_clock::time_point now);

}  // namespace tk358
