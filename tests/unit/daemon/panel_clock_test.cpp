// The panel clock against the computer's: its offset, when tk358d sets it,
// the keeper that measures and sets it from the loop, and the state key.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <future>

#include "daemon/clock_sync.h"
#include "daemon/panel_clock_keeper.h"
#include "daemon/state_payload.h"
#include "support/fake_panel.h"
#include "support/json_value.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace test {

struct PanelClockKeeperProbe {
    static void FinishWrite(PanelClockKeeper& keeper) {
        if (keeper.write_.valid()) {
            keeper.write_.wait();
        }
    }
};

}  // namespace test

namespace {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

constexpr long kWinter = 3600;  // UTC+01:00
constexpr long kSummer = 7200;

// A UTC time of the computer: "YYYY-MM-DD HH:MM:SS" and milliseconds.
HostTime Utc(const char* text, int ms = 0) {
    std::tm tm{};
    EXPECT_NE(strptime(text, "%Y-%m-%d %H:%M:%S", &tm), nullptr) << text;
    return std::chrono::system_clock::from_time_t(timegm(&tm)) + std::chrono::milliseconds(ms);
}

SystemTime Panel(int year, int month, int day, int hour, int minute, int second) {
    SystemTime t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(day);
    t.hour = static_cast<uint16_t>(hour);
    t.minute = static_cast<uint16_t>(minute);
    t.second = static_cast<uint16_t>(second);
    return t;
}

TEST(PanelClockOffset, ComparesLocalTimesAndTakesThePanelSecondAtItsMiddle) {
    struct Case {
        const char* name;
        SystemTime panel;
        HostTime host;
        long utcOffset;
        std::optional<int64_t> offset;
    };
    const Case cases[] = {
        {"in step", Panel(2026, 12, 10, 12, 0, 0), Utc("2026-12-10 11:00:00", 300), kWinter, 0},
        {"five minutes behind", Panel(2026, 12, 10, 12, 0, 0), Utc("2026-12-10 11:05:00", 200),
         kWinter, -300},
        {"ahead", Panel(2026, 12, 10, 12, 1, 1), Utc("2026-12-10 11:00:00", 400), kWinter, 61},
        {"summer time began", Panel(2027, 3, 28, 2, 0, 10), Utc("2027-03-28 01:00:10", 100),
         kSummer, -3600},
        {"west of UTC", Panel(2026, 7, 1, 6, 0, 0), Utc("2026-07-01 10:00:00", 100), -4 * 3600, 0},
        {"leap day", Panel(2028, 2, 29, 23, 59, 59), Utc("2028-02-29 23:59:59", 100), 0, 0},
        {"day after a leap day", Panel(2028, 3, 1, 0, 0, 0), Utc("2028-02-29 23:00:00", 100),
         kWinter, 0},
        {"new year across UTC", Panel(2027, 1, 1, 0, 30, 0), Utc("2026-12-31 23:30:00", 100),
         kWinter, 0},
        {"no time", Panel(1999, 12, 31, 23, 59, 59), Utc("2026-12-10 11:00:00"), kWinter,
         std::nullopt},
        {"month out of range", Panel(2026, 13, 1, 0, 0, 0), Utc("2026-12-10 11:00:00"), kWinter,
         std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PanelClockOffset(c.panel, c.host, c.utcOffset), c.offset) << c.name;
    }
}

TEST(PanelClockOffset, ThePanelFormOfTheComputersTimeMeasuresNoOffset) {
    struct Case {
        HostTime host;
        long utcOffset;
        SystemTime expected;
        uint16_t dayOfWeek;
    };
    const Case cases[] = {
        {Utc("2026-12-10 11:00:00", 999), kWinter, Panel(2026, 12, 10, 12, 0, 0), 4},
        {Utc("2028-02-29 22:59:59", 100), kWinter, Panel(2028, 2, 29, 23, 59, 59), 2},
        {Utc("2027-03-28 01:00:00", 500), kSummer, Panel(2027, 3, 28, 3, 0, 0), 0},
        {Utc("2000-01-01 00:00:00", 1), 0, Panel(2000, 1, 1, 0, 0, 0), 6},
    };
    for (const Case& c : cases) {
        const std::optional<SystemTime> t = PanelTimeAt(c.host, c.utcOffset);
        ASSERT_TRUE(t);
        SystemTime expected = c.expected;
        expected.dayOfWeek = c.dayOfWeek;
        EXPECT_EQ(*t, expected) << c.expected.year << "-" << c.expected.month;
        EXPECT_EQ(PanelClockOffset(*t, c.host, c.utcOffset), 0);
    }
    EXPECT_FALSE(PanelTimeAt(Utc("1999-12-31 23:59:59"), 0));
    EXPECT_FALSE(PanelTimeAt(Utc("1999-12-31 23:29:59", 999), 1800));
}

TEST(ClockSetDue, MoreThanAMinuteOffOrANewUtcOffsetAndNeverTwiceWithinAnHour) {
    const Steady::time_point now = Steady::time_point() + 100h;
    const LastClockSet never;
    const auto setAgo = [&](Steady::duration ago, long utcOffset) {
        return LastClockSet{now - ago, utcOffset};
    };
    const auto failedAgo = [&](Steady::duration ago) { return LastClockSet{now - ago, {}}; };
    struct Case {
        const char* name;
        LastClockSet last;
        int64_t offset;
        long utcOffset;
        ClockSetReason due;
    };
    const Case cases[] = {
        {"first read, 59 s", never, 59, kWinter, ClockSetReason::kNone},
        {"first read, 60 s", never, -60, kWinter, ClockSetReason::kNone},
        {"first read, 61 s", never, 61, kWinter, ClockSetReason::kOffset},
        {"first read, 61 s behind", never, -61, kWinter, ClockSetReason::kOffset},
        {"first read, 5 min behind", never, -300, kWinter, ClockSetReason::kOffset},
        {"hour since last set, 61 s", setAgo(1h, kWinter), 61, kWinter, ClockSetReason::kOffset},
        {"hour since last set, 59 s", setAgo(1h, kWinter), 59, kWinter, ClockSetReason::kNone},
        {"59 min since last set, an hour off", setAgo(59min, kWinter), 3600, kWinter,
         ClockSetReason::kNone},
        {"UTC offset changed, clock in step", setAgo(2h, kWinter), 0, kSummer,
         ClockSetReason::kUtcOffset},
        {"UTC offset changed 59 min after a set", setAgo(59min, kWinter), 3600, kSummer,
         ClockSetReason::kNone},
        {"UTC offset unchanged, clock in step", setAgo(5h, kSummer), 2, kSummer,
         ClockSetReason::kNone},
        {"59 min since a failed write", failedAgo(59min), -300, kWinter, ClockSetReason::kNone},
        {"hour since a failed write", failedAgo(1h), -300, kWinter, ClockSetReason::kOffset},
        {"no set yet, in step", failedAgo(2h), 0, kSummer, ClockSetReason::kNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClockSetDue(c.last, c.offset, c.utcOffset, now), c.due) << c.name;
    }
}

// The records of a tick at `at` whose panel clock is `offset` seconds off the
// computer's.
ReadingsSnapshot WithClock(uint8_t kind, int offset, bool enabled, bool connected,
                           Steady::time_point at) {
    ReadingsSnapshot s;
    s.connected = connected;
    s.identity.identified = 1;
    s.identity.deviceType = kind;
    const HostTime host = std::chrono::system_clock::now() + std::chrono::seconds(offset);
    s.clock.time = PanelTimeAt(host, HostUtcOffset(host)).value();
    s.clock.clockEnabled = enabled ? 1 : 0;
    s.clock.valid = 1;
    s.clock.filledAt = at;
    return s;
}

class PanelClockKeeperTest : public ::testing::Test {
protected:
    void SetUp() override {
        fd_ = ::open(dir_.File("messages").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    }
    void TearDown() override { ::close(fd_); }
    std::string Messages() const { return test::ReadFile(dir_.File("messages")); }

    test::TempDir dir_{"tk358-panel-clock"};
    int fd_ = -1;
    const Steady::time_point start_ = Steady::now();
};

TEST_F(PanelClockKeeperTest, SetsOnlyWhenAskedOnlyTheClocksZonesGoByAndAtMostHourly) {
    struct Case {
        const char* name;
        bool setClock;
        uint8_t kind;
        bool enabled;
        bool connected;
        int writeStatus;
        Steady::duration span;
        int offset;
        bool measured;
        std::size_t writes;
        const char* message;
    };
    const Case cases[] = {
        {"measured only without the option", false, 3, true, true, kStatusOk, 150min, -300, true, 0,
         nullptr},
        {"first read, then hourly", true, 3, true, true, kStatusOk, 150min, -300, true, 3,
         "zegar panelu ustawiony według komputera na "},
        {"within a minute", true, 3, true, true, kStatusOk, 150min, 59, true, 0, nullptr},
        {"threshold regulator with its clock on", true, 4, true, true, kStatusOk, 30min, 300, true,
         1, "spieszył się o "},
        {"threshold regulator with its clock off", true, 4, false, true, kStatusOk, 30min, 300,
         false, 0, nullptr},
        {"temperature controller", true, 0, true, true, kStatusOk, 30min, 300, false, 0, nullptr},
        {"link lost", true, 3, true, false, kStatusOk, 30min, 300, false, 0, nullptr},
        {"failed write tried again an hour later", true, 3, true, true, kStatusFailed, 90min, -300,
         true, 2, "nie udało się ustawić zegara panelu (różnica -"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DaemonLog log("t", fd_, false);
        test::FakePanel panel;
        panel.SetWriteStatus(c.writeStatus);
        {
            PanelClockKeeper keeper(panel, log, c.setClock);
            for (Steady::duration t{}; t <= c.span; t += 30s) {
                const Steady::time_point at = start_ + t;
                keeper.Look(WithClock(c.kind, c.offset, c.enabled, c.connected, at), at);
                test::PanelClockKeeperProbe::FinishWrite(keeper);
                ASSERT_EQ(keeper.Offset().has_value(), c.measured);
                if (c.measured) {
                    EXPECT_NEAR(static_cast<double>(*keeper.Offset()), c.offset, 1.0);
                }
            }
        }
        EXPECT_EQ(panel.Calls().size(), c.writes);
        for (const test::WriteCall& call : panel.Calls()) {
            EXPECT_EQ(call.operation, "SetPanelClock");
        }
        if (c.message != nullptr) {
            EXPECT_NE(Messages().find(c.message), std::string::npos) << Messages();
        }
    }
}

TEST_F(PanelClockKeeperTest, HoldsTheOffsetForAMinuteAndDropsItWithTheLink) {
    const DaemonLog log("t", fd_, false);
    test::FakePanel panel;
    PanelClockKeeper keeper(panel, log, false);
    struct Step {
        Steady::duration at;
        int offset;
        bool connected;
        std::optional<int> shown;
    };
    const Step steps[] = {
        {0s, -120, true, -120}, {30s, 0, true, -120}, {59s, 0, true, -120},
        {60s, 0, true, 0},      {61s, 45, true, 0},   {62s, 45, false, std::nullopt},
        {63s, 45, true, 45},  // the first reading after the link came back
        {100s, 0, true, 45},
    };
    for (const Step& s : steps) {
        const Steady::time_point at = start_ + s.at;
        keeper.Look(WithClock(3, s.offset, true, s.connected, at), at);
        ASSERT_EQ(keeper.Offset().has_value(), s.shown.has_value()) << s.at.count();
        if (s.shown) {
            EXPECT_NEAR(static_cast<double>(*keeper.Offset()), *s.shown, 1.0) << s.at.count();
        }
    }
}

TEST_F(PanelClockKeeperTest, TheLoopGoesOnWhileTheWriteWaitsForTheLine) {
    const DaemonLog log("t", fd_, false);
    test::FakePanel panel;
    panel.Hold();
    {
        PanelClockKeeper keeper(panel, log, true);
        auto looks = std::async(std::launch::async, [&] {
            for (Steady::duration t{}; t <= 5min; t += 1s) {
                keeper.Look(WithClock(3, -300, true, true, start_ + t), start_ + t);
            }
        });
        const bool loopWentOn = looks.wait_for(5s) == std::future_status::ready;
        EXPECT_TRUE(panel.WaitUntilWriting(5s));
        panel.Release();
        EXPECT_TRUE(loopWentOn) << "the loop waited for the line";
    }
    EXPECT_EQ(panel.Calls().size(), 1u) << "one write at a time";
}

TEST(StatePayload, CarriesTheClockOffsetOnlyWhileTheLinkIsUp) {
    struct Case {
        uint8_t kind;
        bool connected;
        std::optional<int64_t> offset;
        std::optional<double> shown;
    };
    const Case cases[] = {
        {3, true, -42, -42.0}, {4, true, 3600, 3600.0},     {3, true, std::nullopt, {}},
        {3, false, -42, {}},   {0, true, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        ReadingsSnapshot s;
        s.connected = c.connected;
        s.identity.identified = 1;
        s.identity.deviceType = c.kind;
        const std::optional<test::JsonValue> json =
            test::JsonValue::Parse(BuildStatePayload(s, 0, c.offset));
        ASSERT_TRUE(json);
        ASSERT_TRUE(json->Has("clockOffset")) << int{c.kind};
        const test::JsonValue& value = (*json)["clockOffset"];
        if (c.shown) {
            EXPECT_TRUE(value.IsNumber());
            EXPECT_EQ(value.Number(), *c.shown);
        } else {
            EXPECT_TRUE(value.IsNull()) << int{c.kind} << " " << c.connected;
        }
    }
}

}  // namespace
}  // namespace tk358
