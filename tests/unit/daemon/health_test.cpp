// The logger's own health: the retained payload, systemd's status line, how
// often each is told, and the status line as the main loop sends it.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <time.h>

#include <thread>

#include "daemon/daemon_loop.h"
#include "daemon/health_payload.h"
#include "daemon/health_reporter.h"
#include "support/fake_panel.h"
#include "support/notify_socket.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using Link = HealthFacts::Link;
using Log = HealthFacts::Log;
using Clock = HealthReporter::Clock;
using namespace std::chrono_literals;

constexpr std::time_t kAnswer = 1796922003;  // 2026-12-10 17:00:03 UTC

// Local time is UTC for the status lines.
class HealthTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
};

TEST_F(HealthTest, PayloadCarriesEveryKeyWithItsValue) {
    const struct {
        HealthFacts facts;
        const char* json;
    } cases[] = {
        {{Link::kAnswering, kAnswer, Log::kOk, "", 0, 3600},
         R"({"lastAnswer":"2026-12-10T17:00:03Z","log":"ok","logError":"","refusals":0,)"
         R"("uptime":3600})"},
        {{Link::kStarting, std::nullopt, Log::kOff, "", 0, 0},
         R"({"lastAnswer":null,"log":"off","logError":"","refusals":0,"uptime":0})"},
        {{Link::kLost, kAnswer, Log::kFailing, "Dysk \"/var\" pełny", 12, 59},
         R"({"lastAnswer":"2026-12-10T17:00:03Z","log":"failing",)"
         R"("logError":"Dysk \"/var\" pełny","refusals":12,"uptime":59})"},
        // A reason left from before is not shown once the log works.
        {{Link::kAnswering, kAnswer, Log::kOk, "stare", 0, 1},
         R"({"lastAnswer":"2026-12-10T17:00:03Z","log":"ok","logError":"","refusals":0,)"
         R"("uptime":1})"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildHealthPayload(c.facts), c.json);
    }
}

TEST_F(HealthTest, StatusLineSaysLinkLastAnswerLogAndRefusals) {
    const struct {
        HealthFacts facts;
        std::time_t now;
        const char* line;
    } cases[] = {
        {{Link::kAnswering, kAnswer, Log::kOk, "", 0, 10},
         kAnswer + 1,
         "panel: odpowiada, ostatnia odpowiedź 17:00:03; rejestracja: zapisywana"},
        {{Link::kStarting, std::nullopt, Log::kOff, "", 0, 1},
         kAnswer,
         "panel: łączenie; rejestracja: wyłączona"},
        {{Link::kLost, kAnswer, Log::kFailing, "x", 3, 10},
         kAnswer + 600,
         "panel: brak komunikacji, ostatnia odpowiedź 17:00:03; rejestracja: błąd zapisu; "
         "odmowy brokera: 3"},
        // An answer of another day comes with its date.
        {{Link::kLost, kAnswer, Log::kOk, "", 0, 10},
         kAnswer + 86400,
         "panel: brak komunikacji, ostatnia odpowiedź 2026-12-10 17:00:03; rejestracja: "
         "zapisywana"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildServiceStatus(c.facts, c.now), c.line);
    }
}

// Ticks once a second: the health goes out on a change of state and once a
// minute; a new time of the last answer alone waits for the minute, a new
// count of refusals for 10 s; the status line does neither.
TEST_F(HealthTest, HealthGoesOutOnChangesAndOnceAMinuteStatusOnEveryChange) {
    const Clock::time_point start = Clock::now();
    std::vector<std::string> published;
    std::vector<std::string> statuses;
    HealthReporter reporter(
        start, [&](const std::string& p) { published.push_back(p); },
        [&](const std::string& s) { statuses.push_back(s); });
    ReadingsSnapshot snapshot;
    HealthFacts facts;
    facts.log = Log::kOk;
    const struct {
        int second;
        bool answer;  // a new status line came
        Link link;
        Log log;
        int refusals;
        bool published;
        bool status;
    } ticks[] = {
        {0, false, Link::kStarting, Log::kOk, 0, true, true},    // the first
        {1, false, Link::kStarting, Log::kOk, 0, false, false},  // nothing new
        {2, true, Link::kAnswering, Log::kOk, 0, true, true},    // link and first answer
        {3, true, Link::kAnswering, Log::kOk, 0, false, true},   // a later answer
        {4, false, Link::kAnswering, Log::kFailing, 0, true, true},
        {5, false, Link::kAnswering, Log::kFailing, 2, true, true},  // the first refusals
        {6, false, Link::kAnswering, Log::kFailing, 3, false, true},
        {14, false, Link::kAnswering, Log::kFailing, 4, false, true},
        {15, false, Link::kAnswering, Log::kFailing, 4, true, false},  // 10 s on
        {16, false, Link::kAnswering, Log::kFailing, 4, false, false},
        {75, false, Link::kAnswering, Log::kFailing, 4, true, false},  // a minute on
        {76, false, Link::kAnswering, Log::kFailing, 4, false, false},
        {77, false, Link::kLost, Log::kFailing, 4, true, true},
    };
    for (const auto& t : ticks) {
        const Clock::time_point now = start + std::chrono::seconds(t.second);
        if (t.answer) {
            snapshot.temperature.filledAt = now - 100ms;
        }
        facts.link = t.link;
        facts.log = t.log;
        facts.refusals = t.refusals;
        const std::size_t before = published.size();
        const std::size_t statusesBefore = statuses.size();
        reporter.Tick(now, snapshot, facts);
        EXPECT_EQ(published.size() > before, t.published) << t.second;
        EXPECT_EQ(statuses.size() > statusesBefore, t.status) << t.second;
    }
    EXPECT_NE(published.back().find("\"refusals\":4,\"uptime\":77"), std::string::npos)
        << published.back();
    EXPECT_NE(published.back().find("\"lastAnswer\":\"20"), std::string::npos);
    reporter.StatusReplaced();
    reporter.Tick(start + 78s, snapshot, facts);
    EXPECT_EQ(statuses.size(), 9u);
}

// The main loop with a panel that answers and a log that cannot be opened:
// systemd hears one status line, not one a second.
TEST_F(HealthTest, MainLoopTellsSystemdTheStatusOnceWhileNothingChanges) {
    test::TempDir dir("tk358-status");
    test::WriteFile(dir.File("file"), "a file, not a folder\n");
    test::NotifySocket socket(dir.File("notify"));
    ::setenv("NOTIFY_SOCKET", dir.File("notify").c_str(), 1);
    ::setenv("WATCHDOG_USEC", "60000000", 1);  // tells a build with libsystemd
    const ServiceNotifier notifier;
    ::unsetenv("WATCHDOG_USEC");
    if (!notifier.AlivePeriod()) {
        ::unsetenv("NOTIFY_SOCKET");
        GTEST_SKIP() << "built without libsystemd";
    }
    const DaemonLog log("t", -1, false);
    RotatingLog measurementLog(log);
    std::string error;
    measurementLog.Configure(LogNamePattern::Parse(dir.File("file") + "/p.csv", &error), 0);
    ASSERT_FALSE(measurementLog.Open());
    DaemonOptions options;
    test::FakePanel panel;
    panel.identity.identified = 1;
    panel.identity.deviceType = 0;
    panel.temperature.filledAt = Clock::now() - 2s;
    const std::time_t answered = std::time(nullptr) - 2;

    DaemonLoop loop(panel, options, log, &measurementLog, nullptr, "COM1");
    loop.WatchOver(&notifier, [] { return Clock::now(); });
    const Clock::time_point end = Clock::now() + 1500ms;
    loop.Run([&](Clock::time_point until) {
        std::this_thread::sleep_until(std::min(until, end));
        return Clock::now() >= end ? DaemonLoop::Wake::kQuit : DaemonLoop::Wake::kTime;
    });
    ::unsetenv("NOTIFY_SOCKET");
    std::vector<std::string> statuses;
    for (const std::string& m : socket.Collect(50ms)) {
        if (m.starts_with("STATUS=")) {
            statuses.push_back(m);
        }
    }
    ASSERT_EQ(statuses.size(), 1u);
    // The answer's second may round either way.
    HealthFacts facts{Link::kAnswering, answered, Log::kFailing, "", 0, 0};
    const std::string one = "STATUS=" + BuildServiceStatus(facts, answered);
    facts.lastAnswer = answered + 1;
    const std::string other = "STATUS=" + BuildServiceStatus(facts, answered);
    EXPECT_TRUE(statuses[0] == one || statuses[0] == other) << statuses[0];
    EXPECT_NE(one.find("panel: odpowiada, ostatnia odpowiedź "), std::string::npos) << one;
}

}  // namespace
}  // namespace tk358
