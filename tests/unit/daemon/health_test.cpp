// SPDX-License-Identifier: GPL-3.0-or-later
// The logger's own health: the retained payload, systemd's status line and
// how often each is told.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <time.h>

#include <tuple>

#include "daemon/health_reporter.h"

namespace tk358 {
namespace {

using Link = HealthFacts::Link;
using Log = HealthFacts::Log;
using Clock = HealthReporter::Clock;
using namespace std::chrono_literals;

constexpr std::time_t kAnswer = 1796922003;  // 2026-12-10 17:00:03 UTC

TEST(Health, PayloadAndStatusLineSayTheSame) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    for (const auto& [facts, now, json, status] :
         std::initializer_list<std::tuple<HealthFacts, std::time_t, const char*, const char*>>{
             {{Link::kStarting, std::nullopt, Log::kOff, "", 0, 0},
              kAnswer,
              R"({"lastAnswer":null,"log":"off","logError":"","refusals":0,"uptime":0})",
              "panel: łączenie; rejestracja: wyłączona"},
             // A reason left from before is not shown once the log works.
             {{Link::kAnswering, kAnswer, Log::kOk, "stary", 0, 3600},
              kAnswer + 1,
              R"({"lastAnswer":"2026-12-10T17:00:03Z","log":"ok","logError":"","refusals":0,)"
              R"("uptime":3600})",
              "panel: odpowiada, ostatnia odpowiedź 17:00:03; rejestracja: zapisywana"},
             // An answer of another day comes with its date.
             {{Link::kLost, kAnswer, Log::kFailing, "Dysk \"/var\" pełny", 12, 59},
              kAnswer + 86400,
              R"({"lastAnswer":"2026-12-10T17:00:03Z","log":"failing",)"
              R"("logError":"Dysk \"/var\" pełny","refusals":12,"uptime":59})",
              "panel: brak komunikacji, ostatnia odpowiedź 2026-12-10 17:00:03; rejestracja: błąd "
              "zapisu; odmowy brokera: 12"}}) {
        EXPECT_EQ(BuildHealthPayload(facts), json);
        EXPECT_EQ(BuildServiceStatus(facts, now), status);
    }
}

// Ticks once a second: the health goes out on a change of state and once a
// minute; a new time of the last answer alone waits for the minute, a new
// count of refusals for 10 s; the status line does neither.
TEST(Health, HealthGoesOutOnChangesAndOnceAMinuteStatusOnEveryChange) {
    const Clock::time_point start = Clock::now();
    std::vector<std::string> published, statuses;
    HealthReporter reporter(
        start, [&](const std::string& p) { published.push_back(p); },
        [&](const std::string& s) { statuses.push_back(s); });
    ReadingsSnapshot snapshot;
    // second, a new status line came, link, log, refusals; health sent, status sent
    for (const auto& [second, answer, link, log, refusals, sent, told] :
         std::initializer_list<std::tuple<int, bool, Link, Log, int, bool, bool>>{
             {0, false, Link::kStarting, Log::kOk, 0, true, true},
             {2, true, Link::kAnswering, Log::kOk, 0, true, true},
             {3, true, Link::kAnswering, Log::kOk, 0, false, true},
             {5, false, Link::kAnswering, Log::kFailing, 0, true, true},
             {6, false, Link::kAnswering, Log::kFailing, 2, true, true},
             {7, false, Link::kAnswering, Log::kFailing, 3, false, true},
             {16, false, Link::kAnswering, Log::kFailing, 3, true, false},
             {76, false, Link::kAnswering, Log::kFailing, 3, true, false},
             {77, false, Link::kLost, Log::kFailing, 3, true, true}}) {
        const Clock::time_point now = start + std::chrono::seconds(second);
        if (answer) {
            snapshot.temperature.filledAt = now - 100ms;
        }
        const std::size_t before[] = {published.size(), statuses.size()};
        reporter.Tick(now, snapshot, {link, std::nullopt, log, "x", refusals, 0});
        EXPECT_EQ(published.size() > before[0], sent) << second;
        EXPECT_EQ(statuses.size() > before[1], told) << second;
    }
    EXPECT_TRUE(published.back().starts_with(R"({"lastAnswer":"20)") &&
                published.back().ends_with(R"("refusals":3,"uptime":77})"));
}

}  // namespace
}  // namespace tk358
