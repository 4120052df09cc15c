// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// When a reading counts as a measurement of now. A status-line record keeps
// its last contents when the panel falls silent, is replaced by another, or
// its lines arrive corrupted (a corrupted line still counts as the panel
// talking, so the link stays up). Shown, logged, charted or published as
// current, such a record would pass off an old value as a new one. The rule is
// applied where the records are copied out (PanelRecords), so every consumer
// gets it without asking: a copy that is not current has `valid` cleared and
// is treated like a reading never received.

#include <chrono>

namespace tk358 {

using MonotonicClock = std::chrono::steady_clock;
using MonotonicTime = MonotonicClock::time_point;

// A reading filled at `filledAt` is current at `now` when it was filled no
// earlier than the start of the present contact with the panel
// (`contactSince`: its last identification, or the closing of the link) and no
// longer ago than `limit`, the link's silence time. A reading exactly `limit`
// old is still current, as a link silent for exactly that long is still up.
constexpr bool ReadingIsCurrent(MonotonicTime filledAt, MonotonicTime contactSince,
                                MonotonicTime now, MonotonicClock::duration limit) {
    return filledAt >= contactSince && now - filledAt <= limit;
}

}  // namespace tk358
