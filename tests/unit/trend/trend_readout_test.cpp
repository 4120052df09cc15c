// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_readout.h"

#include <gtest/gtest.h>

namespace tk358 {
namespace {

// 2026-03-29 00:00:00 UTC.
constexpr int64_t kStart = 1'774'742'400;

TrendRecorder FourSeconds() {
    TrendRecorder r;
    r.Tick(kStart * 1000, TrendValues{21.46, 22.0, std::nullopt});
    r.Tick((kStart + 1) * 1000, TrendValues{});
    r.Tick((kStart + 2) * 1000, TrendValues{-0.04, 22.5, 19.0});
    r.Tick((kStart + 3) * 1000, TrendValues{20.0, 22.5, 19.0});
    return r;
}

TEST(TrendReadoutTest, TakesTheNearestSampleWithinReach) {
    struct Case {
        double time;
        double reach;
        std::optional<int64_t> found;
    };
    const Case cases[] = {
        {kStart - 0.4, 1, kStart},     {kStart + 0.4, 1, kStart},     {kStart + 0.6, 1, kStart + 1},
        {kStart + 2.4, 1, kStart + 2}, {kStart + 3.9, 1, kStart + 3}, {kStart + 5, 1, std::nullopt},
        {kStart - 30, 60, kStart},     {kStart - 2, 1, std::nullopt},
    };
    const TrendRecorder r = FourSeconds();
    for (const Case& c : cases) {
        const std::optional<TrendReadout> readout = ReadoutAt(r, c.time, c.reach);
        ASSERT_EQ(readout.has_value(), c.found.has_value()) << c.time - kStart;
        if (readout) {
            EXPECT_EQ(readout->time, *c.found) << c.time - kStart;
        }
    }
    EXPECT_FALSE(ReadoutAt(TrendRecorder(), kStart, 100));
}

TEST(TrendReadoutTest, ReadsTheLocalTimeAndTheShownCurves) {
    const TrendRecorder r = FourSeconds();
    const auto polish = [](int64_t) { return int64_t{3600}; };
    EXPECT_EQ(FormatReadout(*ReadoutAt(r, kStart, 1), {true, true, false}, polish),
              "29.03.2026 01:00:00\nTemperatura: 21.5 °C\nWartość zadana: 22.0 °C");
    EXPECT_EQ(FormatReadout(*ReadoutAt(r, kStart + 1, 1), {true, true, true}, polish),
              "29.03.2026 01:00:01\nTemperatura: ???\nWartość zadana: ???\nWartość zadana 2: ???");
    EXPECT_EQ(FormatReadout(*ReadoutAt(r, kStart + 2, 1), {true, false, true}, polish),
              "29.03.2026 01:00:02\nTemperatura: -0.0 °C\nWartość zadana 2: 19.0 °C");
}

}  // namespace
}  // namespace tk358
