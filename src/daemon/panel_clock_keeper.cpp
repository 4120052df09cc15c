// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/panel_clock_keeper.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <system_error>

namespace tk358 {

namespace {

// A reading is stamped when its line came; older than the link's silence
// limit it would not be valid.
constexpr std::chrono::seconds kLongestReadingAge{10};

// The kinds that switch zones by their clock; a TK-358C without its clock on
// does not.
bool ClockInUse(const ReadingsSnapshot& s) {
    const PanelIdentity& id = s.identity;
    if (!s.connected || id.identified == 0 || s.clock.valid == 0) {
        return false;
    }
    return id.deviceType == kDualZoneController ||
           (id.deviceType == kThresholdRegulator && s.clock.clockEnabled != 0);
}

std::string Signed(int64_t value) {
    return (value >= 0 ? "+" : "") + std::to_string(value);
}

std::string UtcOffsetText(long seconds) {
    char text[48];
    const long minutes = (seconds < 0 ? -seconds : seconds) / 60;
    std::snprintf(text, sizeof text, "UTC%c%02ld:%02ld", seconds < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

std::string OffsetText(int64_t offset) {
    if (offset > 0) {
        return "spieszył się o " + std::to_string(offset) + " s";
    }
    if (offset < 0) {
        return "spóźniał się o " + std::to_string(-offset) + " s";
    }
    return "wskazywał czas komputera";
}

std::string TimeText(const SystemTime& t) {
    char text[48];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned{t.year},
                  unsigned{t.month}, unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute},
                  unsigned{t.second});
    return text;
}

}  // namespace

PanelClockKeeper::PanelClockKeeper(PanelAccess& panel, const DaemonLog& log, bool setClock)
    : panel_(panel), log_(log), setClock_(setClock) {}

PanelClockKeeper::~PanelClockKeeper() {
    if (write_.valid()) {
        write_.wait();
    }
}

void PanelClockKeeper::Look(const ReadingsSnapshot& snapshot, Clock::time_point now) {
    TakeWriteResult();
    if (!ClockInUse(snapshot)) {
        offset_.reset();
        nextMeasure_.reset();
        return;
    }
    if (!nextMeasure_ || now >= *nextMeasure_) {
        Measure(snapshot, now);
    }
}

void PanelClockKeeper::Measure(const ReadingsSnapshot& snapshot, Clock::time_point now) {
    // The computer's time when the reading's line came.
    const Clock::duration age = std::clamp<Clock::duration>(
        now - snapshot.clock.filledAt, Clock::duration::zero(), kLongestReadingAge);
    const HostTime readAt =
        std::chrono::system_clock::now() - std::chrono::duration_cast<HostTime::duration>(age);
    const long utcOffset = HostUtcOffset(readAt);
    offset_ = PanelClockOffset(snapshot.clock.time, readAt, utcOffset);
    nextMeasure_ = now + kMeasurePeriod;
    if (!offset_ || !setClock_ || write_.valid()) {
        return;
    }
    const ClockSetReason reason = ClockSetDue(lastSet_, *offset_, utcOffset, now);
    if (reason != ClockSetReason::kNone) {
        StartWrite(*offset_, reason, now);
    }
}

void PanelClockKeeper::TakeWriteResult() {
    if (!write_.valid() || write_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return;
    }
    const WriteResult result = write_.get();
    if (result.ok) {
        lastSet_.utcOffset = result.utcOffset;
    }
}

void PanelClockKeeper::StartWrite(int64_t offset, ClockSetReason reason, Clock::time_point now) {
    lastSet_.triedAt = now;
    const long previousUtcOffset = lastSet_.utcOffset.value_or(0);
    try {
        write_ = std::async(std::launch::async, [this, offset, reason, previousUtcOffset] {
            return Write(offset, reason, previousUtcOffset);
        });
    } catch (const std::system_error& e) {
        log_.Warning(std::string("nie można ustawić zegara panelu: ") + e.what());
    }
}

// On the write's thread. The time is taken just before the exchange, as the
// line may be busy with another one first.
PanelClockKeeper::WriteResult PanelClockKeeper::Write(int64_t offset, ClockSetReason reason,
                                                      long previousUtcOffset) {
    // Half a second on: the panel starts its new second when the write comes.
    const HostTime at = std::chrono::system_clock::now() + std::chrono::milliseconds(500);
    const long utcOffset = HostUtcOffset(at);
    const std::optional<SystemTime> time = PanelTimeAt(at, utcOffset);
    if (!time || panel_.SetPanelClock(*time) != kStatusOk) {
        log_.Warning("nie udało się ustawić zegara panelu (różnica " + Signed(offset) +
                     " s); następna próba za godzinę");
        return {false, utcOffset};
    }
    std::string message =
        "zegar panelu ustawiony według komputera na " + TimeText(*time) + "; " + OffsetText(offset);
    if (reason == ClockSetReason::kUtcOffset) {
        message += " (zmiana czasu komputera z " + UtcOffsetText(previousUtcOffset) + " na " +
                   UtcOffsetText(utcOffset) + ")";
    }
    log_.Info(message);
    return {true, utcOffset};
}

}  // namespace tk358
