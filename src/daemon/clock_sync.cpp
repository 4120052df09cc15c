// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/clock_sync.h"

#include <cmath>
#include <ctime>

#include "link/panel_clock.h"

namespace tk358 {

namespace {

// 2000-01-01 00:00:00 on the Unix count: the panel's count starts there, and
// its leap rule agrees with the calendar up to 2099.
constexpr int64_t kPanelEpoch = 946'684'800;

int64_t LocalMilliseconds(HostTime at, long utcOffset) {
    using namespace std::chrono;
    return duration_cast<milliseconds>(at.time_since_epoch()).count() + int64_t{utcOffset} * 1000;
}

}  // namespace

long HostUtcOffset(HostTime at) {
    const std::time_t t = std::chrono::system_clock::to_time_t(at);
    std::tm local{};
    localtime_r(&t, &local);
    return local.tm_gmtoff;
}

std::optional<int64_t> PanelClockOffset(const SystemTime& panel, HostTime readAt, long utcOffset) {
    const std::optional<uint32_t> seconds = EncodePanelSeconds(panel);
    if (!seconds) {
        return std::nullopt;
    }
    const int64_t panelMs = (kPanelEpoch + *seconds) * 1000 + 500;
    const int64_t difference = panelMs - LocalMilliseconds(readAt, utcOffset);
    return std::llround(static_cast<double>(difference) / 1000.0);
}

std::optional<SystemTime> PanelTimeAt(HostTime at, long utcOffset) {
    const int64_t ms = LocalMilliseconds(at, utcOffset);
    const int64_t local = (ms >= 0 ? ms : ms - 999) / 1000;
    const int64_t seconds = local - kPanelEpoch;
    if (seconds < 0 || seconds > int64_t{UINT32_MAX}) {
        return std::nullopt;
    }
    return DecodePanelSeconds(static_cast<uint32_t>(seconds));
}

ClockSetReason ClockSetDue(const LastClockSet& last, int64_t offset, long utcOffset,
                           std::chrono::steady_clock::time_point now) {
    if (last.triedAt && now - *last.triedAt < kClockSetPeriod) {
        return ClockSetReason::kNone;
    }
    if (offset > kClockTolerance.count() || -offset > kClockTolerance.count()) {
        return ClockSetReason::kOffset;
    }
    if (last.utcOffset && utcOffset != *last.utcOffset) {
        return ClockSetReason::kUtcOffset;
    }
    return ClockSetReason::kNone;
}

}  // namespace tk358
