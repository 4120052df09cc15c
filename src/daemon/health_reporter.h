// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Tells the logger's own health: the retained health message on every
// change and at least once a minute (for the uptime), and systemd's status
// line on every change. Called once per state period, which bounds both.
// A growing count of refusals goes out at most every kRecount: a broker
// that refuses the health message itself would otherwise have it sent again
// every period.

#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

#include "daemon/health_payload.h"
#include "panel/readings_snapshot.h"

namespace tk358 {

class HealthReporter {
public:
    using Clock = std::chrono::steady_clock;
    using Send = std::function<void(const std::string&)>;

    // `publish` gets the health payload, `status` the status line.
    HealthReporter(Clock::time_point start, Send publish, Send status);

    // `facts` as the loop knows them (link, log, refusals); the last answer
    // (from the newest record of `snapshot`) and the uptime are added here.
    void Tick(Clock::time_point now, const ReadingsSnapshot& snapshot, HealthFacts facts);

    // The status line was replaced by another (systemd's READY=1 with its
    // own STATUS=): the next tick sends it again.
    void StatusReplaced() { status_.clear(); }

    static constexpr std::chrono::minutes kRefresh{1};
    static constexpr std::chrono::seconds kRecount{10};

private:
    void NoteAnswer(const ReadingsSnapshot& snapshot);

    const Clock::time_point start_;
    Send publish_;
    Send sendStatus_;
    Clock::time_point answeredAt_{};  // the newest record's filling; never: epoch
    std::optional<std::time_t> lastAnswer_;
    bool published_ = false;
    HealthFacts publishedFacts_;
    Clock::time_point publishedAt_{};
    std::string status_;  // the line sent last
};

}  // namespace tk358
