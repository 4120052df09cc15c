// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_axis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "trend/trend_colours.h"
#include "trend/trend_view.h"

namespace tk358 {
namespace {

TEST(TrendAxisTest, ValueAxisCoversTheDataWithAMarginInNiceSteps) {
    struct Case {
        std::optional<TrendRange> data;
        int heightPx;
        double min, max, step;
        int decimals;
    };
    const Case cases[] = {
        // range 2, margin 0.5 each side: 19.5..22.5 over 7 slots, step 0.5
        {TrendRange{20.0, 22.0}, 280, 19.5, 22.5, 0.5, 1},
        // flat: a degree around it, step 0.2
        {TrendRange{21.0, 21.0}, 280, 20.4, 21.6, 0.2, 1},
        // range 60, margin 6: -16..56 over 7 slots, step 20 (10.3 rounds up to 20)
        {TrendRange{-10.0, 50.0}, 280, -20.0, 60.0, 20.0, 0},
        // nothing to show: 15..25 with its margin
        {std::nullopt, 280, 14.0, 26.0, 2.0, 0},
        // a short plot still gets two slots
        {TrendRange{20.0, 22.0}, 10, 18.0, 24.0, 2.0, 0},
    };
    for (const Case& c : cases) {
        const ValueAxis a = ComputeValueAxis(c.data, c.heightPx, 40);
        EXPECT_NEAR(a.min, c.min, 1e-9) << c.heightPx;
        EXPECT_NEAR(a.max, c.max, 1e-9) << c.heightPx;
        EXPECT_NEAR(a.step, c.step, 1e-9) << c.heightPx;
        EXPECT_EQ(a.decimals, c.decimals);
        ASSERT_FALSE(a.ticks.empty());
        EXPECT_NEAR(a.ticks.front(), a.min, 1e-9);
        EXPECT_NEAR(a.ticks.back(), a.max, 1e-9);
    }
}

TEST(TrendAxisTest, ValueAxisStaysSaneForAnyData) {
    const std::vector<TrendRange> ranges = {
        {0.0, 0.05}, {-40.0, -39.9}, {-1e6, 1e6}, {99.9, 150.0}, {3e38, 3.4e38}};
    for (const TrendRange& r : ranges) {
        const ValueAxis a = ComputeValueAxis(r, 300, 30);
        EXPECT_LE(a.min, r.min) << r.min;
        EXPECT_GE(a.max, r.max) << r.max;
        EXPECT_GE(a.step, 0.1);
        EXPECT_LE(a.ticks.size(), 13u);  // 10 slots and the rounding at both ends
        const double mantissa = a.step / std::pow(10.0, std::floor(std::log10(a.step) + 1e-12));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                    std::abs(mantissa - 5) < 1e-6)
            << a.step;
    }
}

TEST(TrendAxisTest, ValueTicksReadWithAPointAndNoNegativeZero) {
    EXPECT_EQ(FormatValueTick(21.5, 1), "21.5");
    EXPECT_EQ(FormatValueTick(-0.04, 1), "0.0");
    EXPECT_EQ(FormatValueTick(-1e-12, 0), "0");
    EXPECT_EQ(FormatValueTick(-20, 0), "-20");
}

// 2026-03-29 00:00:00 UTC; in Poland the clocks go forward at 01:00 UTC.
constexpr int64_t kMarch29 = 1'774'742'400;

int64_t PolishOffset(int64_t utc) {
    return utc < kMarch29 + 3600 ? 3600 : 7200;
}

std::vector<std::string> Labels(const TimeAxis& a) {
    std::vector<std::string> out;
    for (const TimeTick& t : a.ticks) {
        out.push_back(t.date.empty() ? t.label : t.label + " " + t.date);
    }
    return out;
}

TEST(TrendAxisTest, TimeTicksFallOnWholeLocalTimes) {
    struct Case {
        const char* what;
        double start, end;
        UtcOffsetFunction offset;
        int64_t step;
        std::vector<std::string> labels;
    };
    const auto india = [](int64_t) { return int64_t{19800}; };
    const Case cases[] = {
        {"five minutes, 30 s steps",
         kMarch29 - 3600 - 10.0,
         kMarch29 - 3600 + 100.0,
         PolishOffset,
         30,
         {"00:00:00 29.03.2026", "00:00:30", "00:01:00", "00:01:30"}},
        {"summer time begins: 02:00 does not exist",
         kMarch29 - 600.0,
         kMarch29 + 3 * 3600.0,
         PolishOffset,
         3600,
         {"01:00 29.03.2026", "03:00", "04:00", "05:00"}},
        {"half-hour zone",
         kMarch29 + 0.0,
         kMarch29 + 3 * 3600.0,
         india,
         3600,
         {"06:00 29.03.2026", "07:00", "08:00"}},
        {"day change",
         kMarch29 - 6 * 3600.0,
         kMarch29 + 1800.0,
         PolishOffset,
         3600 * 2,
         {"20:00 28.03.2026", "22:00", "00:00 29.03.2026"}},
    };
    for (const Case& c : cases) {
        const double width = (c.end - c.start) / static_cast<double>(c.step) * 100.0;
        const TimeAxis a = ComputeTimeAxis(c.start, c.end, static_cast<int>(width), 90, c.offset);
        EXPECT_EQ(a.step, c.step) << c.what;
        EXPECT_EQ(Labels(a), c.labels) << c.what;
    }
}

TEST(TrendAxisTest, TimeTicksAreSpacedForTheirLabels) {
    struct Case {
        double span;
        int width;
        int64_t step;
    };
    const Case cases[] = {
        {300, 800, 30}, {1800, 800, 300}, {7200, 800, 900}, {28800, 800, 3600}, {86400, 800, 10800},
    };
    for (const Case& c : cases) {
        const TimeAxis a = ComputeTimeAxis(1e9, 1e9 + c.span, c.width, 80, PolishOffset);
        EXPECT_EQ(a.step, c.step) << c.span;
        for (std::size_t i = 1; i < a.ticks.size(); ++i) {
            const double px =
                static_cast<double>(a.ticks[i].time - a.ticks[i - 1].time) / c.span * c.width;
            EXPECT_GE(px, 80.0) << c.span;
        }
    }
    EXPECT_TRUE(ComputeTimeAxis(10, 5, 800, 80).ticks.empty());
}

TEST(TrendViewTest, FollowsUntilPannedOrZoomed) {
    TrendView v(1800);
    v.Follow(1000);
    v.Advance(1001);
    EXPECT_TRUE(v.Following());
    EXPECT_EQ(v.End(), 1001);
    EXPECT_EQ(v.Start(), 1001 - 1800);
    v.Pan(-100);
    EXPECT_FALSE(v.Following());
    v.Advance(1002);
    EXPECT_EQ(v.End(), 901);
    v.Follow(1002);
    EXPECT_TRUE(v.Following());
    EXPECT_EQ(v.End(), 1002);
}

TEST(TrendViewTest, WheelZoomKeepsTheTimeUnderThePointer) {
    TrendView v(1000);
    v.Follow(10'000);
    v.ZoomAt(9'250, 0.5);  // a quarter across
    EXPECT_FALSE(v.Following());
    EXPECT_DOUBLE_EQ(v.Span(), 500);
    EXPECT_DOUBLE_EQ(v.Start() + 0.25 * v.Span(), 9'250);
    v.ZoomAt(9'250, 1e-6);  // no closer than a minute
    EXPECT_DOUBLE_EQ(v.Span(), kTrendMinSpan);
    v.ZoomAt(9'250, 1e6);  // no wider than a day
    EXPECT_DOUBLE_EQ(v.Span(), kTrendMaxSpan);
    EXPECT_EQ(v.SpanIndex(), 4);
}

TEST(TrendViewTest, StaysOverTheHistory) {
    TrendView v(300);
    v.Follow(10'000);
    v.Pan(5'000);  // into the future
    v.Limit(1'000, 10'000);
    EXPECT_EQ(v.End(), 10'000);
    v.Pan(-50'000);  // before the oldest sample
    v.Limit(1'000, 10'000);
    EXPECT_EQ(v.Start(), 1'000);
    v.SetSpan(86400);  // wider than the history: the newest stays on the right
    v.Limit(1'000, 10'000);
    EXPECT_EQ(v.End(), 10'000);
}

TEST(TrendViewTest, StoredSpanIsBroughtIntoRange) {
    const std::pair<int, int> cases[] = {{300, 300}, {7200, 7200},       {0, 60},
                                         {-5, 60},   {1'000'000, 86400}, {4000, 4000}};
    for (auto [stored, used] : cases) {
        EXPECT_EQ(TrendSpanFromSettings(stored), used) << stored;
    }
    EXPECT_EQ(TrendView(300).SpanIndex(), 0);
    EXPECT_EQ(TrendView(4000).SpanIndex(), std::nullopt);
}

TEST(TrendColoursTest, CurvesTakeTheDisplaysTextColourUnlessItFadesOnWhite) {
    struct Case {
        const char* what;
        Colorref text;
        Colorref background;
        std::optional<Colorref> expected;  // nothing: darkened, checked by contrast
    };
    const Case cases[] = {
        {"temperature default", MakeColorref(66, 21, 0), MakeColorref(255, 231, 206),
         MakeColorref(66, 21, 0)},
        {"set-point default", MakeColorref(0, 64, 0), MakeColorref(255, 255, 204),
         MakeColorref(0, 64, 0)},
        {"light text on a dark display", MakeColorref(255, 255, 255), MakeColorref(0, 0, 128),
         MakeColorref(0, 0, 128)},
        {"both light", MakeColorref(255, 255, 0), MakeColorref(255, 255, 255), std::nullopt},
        {"bits above the colour", 0xFF000000u | MakeColorref(0, 0, 200), 0,
         MakeColorref(0, 0, 200)},
    };
    for (const Case& c : cases) {
        const Colorref colour = TrendCurveColour(c.text, c.background);
        if (c.expected) {
            EXPECT_EQ(colour, *c.expected) << c.what;
        }
        EXPECT_GE(ContrastOnWhite(colour), kTrendMinContrast) << c.what;
    }
}

}  // namespace
}  // namespace tk358
