// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Watches the clock of the panels that switch zones by it (TK-358D, and the
// TK-358C while its clock is on): keeps its offset from the computer's clock
// for the state message, measured at the first reading of a contact and then
// once a minute, and, when asked to, sets it as the panel clock dialog does
// (clock_sync.h says when). The write runs on a thread of its own, as it
// blocks for its exchange; the loop only looks whether it has ended.

#include <chrono>
#include <cstdint>
#include <future>
#include <optional>

#include "daemon/clock_sync.h"
#include "daemon/daemon_log.h"
#include "link/panel_access.h"
#include "panel/readings_snapshot.h"

namespace tk358 {

class PanelClockKeeper {
public:
    using Clock = std::chrono::steady_clock;

    // `setClock`: the clock may be written; otherwise it is only measured.
    PanelClockKeeper(PanelAccess& panel, const DaemonLog& log, bool setClock);
    ~PanelClockKeeper();  // lets a write in progress end
    PanelClockKeeper(const PanelClockKeeper&) = delete;
    PanelClockKeeper& operator=(const PanelClockKeeper&) = delete;

    // Each tick of the loop, with the tick's copy of the records.
    void Look(const ReadingsSnapshot& snapshot, Clock::time_point now);

    // Panel minus computer in seconds, as last measured; none while the link
    // is lost or the panel has no clock it switches by.
    std::optional<int64_t> Offset() const { return offset_; }

    static constexpr std::chrono::seconds kMeasurePeriod{60};

private:
    struct WriteResult {
        bool ok = false;
        long utcOffset = 0;
    };

    void Measure(const ReadingsSnapshot& snapshot, Clock::time_point now);
    void TakeWriteResult();
    void StartWrite(int64_t offset, ClockSetReason reason, Clock::time_point now);
    WriteResult Write(int64_t offset, ClockSetReason reason, long previousUtcOffset);

    PanelAccess& panel_;
    const DaemonLog& log_;
    const bool setClock_;

    std::optional<int64_t> offset_;
    std::optional<Clock::time_point> nextMeasure_;  // none: at the next reading
    LastClockSet lastSet_;
    std::future<WriteResult> write_;  // valid from its start until its result is taken
};

}  // namespace tk358
