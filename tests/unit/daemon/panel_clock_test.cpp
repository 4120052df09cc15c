// SPDX-License-Identifier: GPL-3.0-or-later
// The panel clock's offset, when tk358d sets it, the keeper and the state key.

#include <gtest/gtest.h>

#include <future>

#include "daemon/clock_sync.h"
#include "daemon/panel_clock_keeper.h"
#include "daemon/state_payload.h"
#include "support/fake_panel.h"

namespace tk358 {
namespace {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

constexpr long kWinter = 3600, kSummer = 7200;  // UTC+01:00, UTC+02:00

// The computer's UTC time "YYYY-MM-DD HH:MM:SS" plus `ms`.
HostTime Utc(const char* text, int ms = 0) {
    std::tm tm{};
    EXPECT_NE(strptime(text, "%Y-%m-%d %H:%M:%S", &tm), nullptr) << text;
    return std::chrono::system_clock::from_time_t(timegm(&tm)) + std::chrono::milliseconds(ms);
}

SystemTime Panel(uint16_t y, uint16_t mo, uint16_t d, uint16_t h, uint16_t mi, uint16_t s) {
    return {y, mo, 0, d, h, mi, s, 0};
}

TEST(PanelClockOffset, ComparesLocalTimesAndTakesThePanelSecondAtItsMiddle) {
    const std::tuple<SystemTime, HostTime, long, std::optional<int64_t>> cases[] = {
        {Panel(2026, 12, 10, 12, 0, 0), Utc("2026-12-10 11:00:00", 300), kWinter, 0},
        {Panel(2026, 12, 10, 12, 0, 0), Utc("2026-12-10 11:05:00", 200), kWinter, -300},
        {Panel(2027, 3, 28, 2, 0, 10), Utc("2027-03-28 01:00:10", 100), kSummer, -3600},
        {Panel(2026, 7, 1, 6, 1, 1), Utc("2026-07-01 10:00:00", 400), -4 * 3600, 61},
        {Panel(1999, 12, 31, 23, 59, 59), Utc("2026-12-10 11:00:00"), kWinter, std::nullopt},
    };
    for (const auto& [panel, host, utcOffset, offset] : cases) {
        EXPECT_EQ(PanelClockOffset(panel, host, utcOffset), offset) << panel.year;
    }
    EXPECT_FALSE(
        PanelTimeAt(Utc("1999-12-31 22:59:59", 999), kWinter));  // before the panel's day 0
}

TEST(ClockSetDue, MoreThanAMinuteOffOrANewUtcOffsetAndNoWriteWithinAnHourOfTheLast) {
    const Steady::time_point now = Steady::time_point() + 100h;
    const auto set = [&](Steady::duration ago, std::optional<long> utcOffset) {
        return LastClockSet{now - ago, utcOffset};
    };
    using R = ClockSetReason;
    const std::tuple<LastClockSet, int64_t, long, R> cases[] = {
        {{}, 59, kWinter, R::kNone},  // the first reading
        {{}, 61, kWinter, R::kOffset},
        {{}, -61, kWinter, R::kOffset},
        {set(1h, kWinter), 61, kWinter, R::kOffset},
        {set(59min, kWinter), 3600, kWinter, R::kNone},
        {set(2h, kWinter), 0, kSummer, R::kUtcOffset},
        {set(59min, kWinter), 0, kSummer, R::kNone},
        {set(59min, std::nullopt), -300, kWinter, R::kNone},  // failed
        {set(1h, std::nullopt), -300, kWinter, R::kOffset},
        {set(2h, std::nullopt), 0, kSummer, R::kNone},
    };
    int i = 0;
    for (const auto& [last, offset, utcOffset, due] : cases) {
        EXPECT_EQ(ClockSetDue(last, offset, utcOffset, now), due) << "case " << i++;
    }
}

// A tick at `at` whose panel clock is `offset` seconds off the computer's.
ReadingsSnapshot WithClock(uint8_t kind, int offset, Steady::time_point at, bool enabled = true,
                           bool connected = true) {
    ReadingsSnapshot s;
    s.connected = connected;
    s.identity = {105, 1, 0, 12, {}, kind, 1};
    const HostTime host = std::chrono::system_clock::now() + std::chrono::seconds(offset);
    s.clock = {PanelTimeAt(host, HostUtcOffset(host)).value(), enabled, 1, at};
    return s;
}

// Half an hour five minutes behind: one write at most, the next is an hour on.
TEST(PanelClockKeeper, SetsOnlyWhenAskedAndOnlyTheClocksZonesGoBy) {
    // Set clock, kind, clock on, link, write status; measured, writes.
    const std::tuple<bool, uint8_t, bool, bool, int, bool, std::size_t> cases[] = {
        {false, 3, true, true, kStatusOk, true, 0},   {true, 3, true, true, kStatusOk, true, 1},
        {true, 4, true, true, kStatusOk, true, 1},    {true, 4, false, true, kStatusOk, false, 0},
        {true, 0, true, true, kStatusOk, false, 0},   {true, 3, true, false, kStatusOk, false, 0},
        {true, 3, true, true, kStatusFailed, true, 1}};
    const DaemonLog log("t", -1, false);
    const Steady::time_point start = Steady::now();
    for (const auto& [setClock, kind, on, link, status, measured, writes] : cases) {
        test::FakePanel panel;
        panel.SetWriteStatus(status);
        {
            PanelClockKeeper keeper(panel, log, setClock);
            for (Steady::time_point at = start; at <= start + 30min; at += 10s) {
                keeper.Look(WithClock(kind, -300, at, on, link), at);
                ASSERT_EQ(keeper.Offset().has_value(), measured) << int{kind} << on << link;
            }
        }
        EXPECT_EQ(panel.Calls().size(), writes) << setClock << int{kind} << on << link << status;
    }
}

TEST(PanelClockKeeper, HoldsTheOffsetAMinuteDropsItWithTheLinkAndNeverHoldsUpTheLoop) {
    const DaemonLog log("t", -1, false);
    test::FakePanel panel;
    panel.Hold();
    PanelClockKeeper keeper(panel, log, true);
    const Steady::time_point t0 = Steady::now();
    // Seconds from t0, the panel's offset, the link, the offset shown (999: none).
    const int steps[][4] = {{0, -120, 1, -120}, {59, 0, 1, -120}, {60, 0, 1, 0},
                            {61, 45, 0, 999},   {62, 45, 1, 45},  {100, 0, 1, 45}};
    auto looks = std::async(std::launch::async, [&] {
        for (const auto& s : steps) {
            const Steady::time_point at = t0 + std::chrono::seconds(s[0]);
            keeper.Look(WithClock(3, s[1], at, true, s[2] != 0), at);
            EXPECT_NEAR(static_cast<double>(keeper.Offset().value_or(999)), s[3], 1.0) << s[0];
        }
    });
    const bool loopWentOn = looks.wait_for(5s) == std::future_status::ready;
    EXPECT_TRUE(panel.WaitUntilWriting(5s));
    panel.Release();
    EXPECT_TRUE(loopWentOn) << "the loop waited for the line";
    EXPECT_EQ(panel.Calls().size(), 1u) << "one write at a time";
}

TEST(StatePayload, CarriesTheClockOffsetOnlyWhileTheLinkIsUp) {
    const std::tuple<bool, std::optional<int64_t>, const char*> cases[] = {
        {true, -42, "-42}"}, {true, {}, "null}"}, {false, -42, "null}"}};
    for (const auto& [connected, offset, shown] : cases) {
        ReadingsSnapshot s;
        s.connected = connected;
        const std::string text = BuildStatePayload(s, 0, offset);
        EXPECT_NE(text.find(std::string("\"clockOffset\":") + shown), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace tk358
