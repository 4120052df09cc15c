// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the session's tests and benchmarks look at inside a PanelSession
// beyond the panel's records.

#include <cstdint>
#include <optional>
#include <vector>

#include "link/panel_session.h"

namespace tk358::test {

struct PanelSessionProbe {
    // Codes written and not yet read back.
    static std::vector<int> PendingReadCodes(const PanelSession& session) {
        return session.pendingReads_.Take().codes;
    }
    // Whole seconds on the monotonic clock when the last good line arrived;
    // none since the session was opened.
    static std::optional<int64_t> LastAnswerSeconds(const PanelSession& session) {
        return session.LastAnswerSeconds();
    }
    // Start sequences run to their end since the session was made.
    static int CompletedStartSequences(const PanelSession& session) {
        return session.startSequences_;
    }
};

}  // namespace tk358::test
