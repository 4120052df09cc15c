// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tk358d's own health, as the retained health topic carries it and as one
// line for systemd's STATUS=:
//   {"lastAnswer":"2026-12-10T17:00:00Z","log":"ok","logError":"","refusals":0,"uptime":3600}
//   panel: odpowiada, ostatnia odpowiedź 17:00:03; rejestracja: zapisywana

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace tk358 {

struct HealthFacts {
    enum class Link { kStarting, kAnswering, kLost };
    enum class Log { kOff, kOk, kFailing };

    Link link = Link::kStarting;
    std::optional<std::time_t> lastAnswer;  // the panel's last answer; none yet
    Log log = Log::kOff;
    std::string logError;  // why the log fails, on one line
    int64_t refusals = 0;  // by the broker
    int64_t uptimeSeconds = 0;

    // What a change is worth telling at once: everything but the running
    // figures (the time of the last answer while there is one, the number
    // of refusals once there are any, the uptime).
    bool SameState(const HealthFacts& other) const;
};

std::string BuildHealthPayload(const HealthFacts& facts);

// In local time; the last answer's date only when it is not the day of `now`.
std::string BuildServiceStatus(const HealthFacts& facts, std::time_t now);

}  // namespace tk358
