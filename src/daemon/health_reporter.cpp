// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/health_reporter.h"

#include <algorithm>

namespace tk358 {

HealthReporter::HealthReporter(Clock::time_point start, Send publish, Send status)
    : start_(start), publish_(std::move(publish)), sendStatus_(std::move(status)) {}

// Every status line the panel sends fills a record; the newest filling is its
// last answer. Taken to the wall clock once per answer, so it stays put.
void HealthReporter::NoteAnswer(const ReadingsSnapshot& s) {
    const Clock::time_point newest =
        std::max({s.temperature.filledAt, s.setpoint.filledAt, s.regulator.filledAt,
                  s.valve.filledAt, s.drainValve.filledAt, s.ventilation.filledAt,
                  s.activeZone.filledAt, s.relay.filledAt, s.clock.filledAt});
    if (newest <= answeredAt_) {
        return;
    }
    answeredAt_ = newest;
    const auto ago =
        std::chrono::duration_cast<std::chrono::system_clock::duration>(Clock::now() - newest);
    lastAnswer_ = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now() - ago);
}

void HealthReporter::Tick(Clock::time_point now, const ReadingsSnapshot& snapshot,
                          HealthFacts facts) {
    NoteAnswer(snapshot);
    facts.lastAnswer = lastAnswer_;
    facts.uptimeSeconds = std::chrono::duration_cast<std::chrono::seconds>(now - start_).count();
    const auto since = now - publishedAt_;
    const bool recount = facts.refusals != publishedFacts_.refusals && since >= kRecount;
    if (!published_ || !facts.SameState(publishedFacts_) || recount || since >= kRefresh) {
        published_ = true;
        publishedFacts_ = facts;
        publishedAt_ = now;
        publish_(BuildHealthPayload(facts));
    }
    std::string line = BuildServiceStatus(facts, std::time(nullptr));
    if (line != status_) {
        status_ = std::move(line);
        sendStatus_(status_);
    }
}

}  // namespace tk358
