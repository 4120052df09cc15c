// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_decimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tk358 {
namespace {

// Samples at 0, 1, 2 ... with these values; NaN for a gap.
TrendBuffer Samples(const std::vector<double>& values, int64_t first = 0) {
    TrendBuffer b;
    for (std::size_t i = 0; i < values.size(); ++i) {
        b.Push(first + static_cast<int64_t>(i), values[i]);
    }
    return b;
}

constexpr double G = kTrendGap;

TEST(TrendDecimateTest, KeepsLowestHighestFirstAndLastOfEachColumn) {
    const TrendBuffer b = Samples({5, 1, 9, 3, 4, 8, 2, 6, 7, 0});
    const DecimatedCurve d = DecimateTrend(b, 0, 10, 2);  // [0,5) and [5,10]
    ASSERT_EQ(d.columns.size(), 2u);
    const TrendColumn& a = d.columns[0];
    EXPECT_EQ(a.count, 5);
    EXPECT_EQ(a.min, 1);
    EXPECT_EQ(a.max, 9);
    EXPECT_EQ(a.first, 5);
    EXPECT_EQ(a.last, 4);
    EXPECT_FALSE(a.joinsPrevious);
    const TrendColumn& c = d.columns[1];
    EXPECT_EQ(c.count, 5);
    EXPECT_EQ(c.min, 0);
    EXPECT_EQ(c.max, 8);
    EXPECT_EQ(c.first, 8);
    EXPECT_EQ(c.last, 0);
    EXPECT_TRUE(c.joinsPrevious);
    const std::optional<TrendRange> range = ValueRangeOf(d);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->min, 0);
    EXPECT_EQ(range->max, 9);
}

TEST(TrendDecimateTest, GapsAndMissingTimeBreakTheLine) {
    struct Case {
        const char* what;
        TrendBuffer buffer;
        std::vector<bool> joins;  // joinsPrevious of columns 0..9, one sample each
    };
    TrendBuffer holes;
    for (int64_t t : {0, 1, 2, 6, 7, 8, 9}) {
        holes.Push(t, 1.0);
    }
    const Case cases[] = {
        {"no gap",
         Samples({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
         {false, true, true, true, true, true, true, true, true, true}},
        {"one gap sample",
         Samples({1, 2, 3, G, 5, 6, 7, 8, 9, 10}),
         {false, true, true, false, false, true, true, true, true, true}},
        {"gaps at both ends",
         Samples({G, 2, 3, 4, 5, 6, 7, 8, 9, G}),
         {false, false, true, true, true, true, true, true, true, false}},
        {"missing seconds",
         holes,
         {false, true, true, false, false, false, false, true, true, true}},
    };
    for (const Case& c : cases) {
        const DecimatedCurve d = DecimateTrend(c.buffer, 0, 10, 10);
        for (std::size_t i = 0; i < c.joins.size(); ++i) {
            EXPECT_EQ(d.columns[i].joinsPrevious, c.joins[i]) << c.what << " column " << i;
        }
    }
}

TEST(TrendDecimateTest, LineRunsOnToSamplesJustOutsideTheView) {
    const TrendBuffer b = Samples({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    const DecimatedCurve d = DecimateTrend(b, 2.5, 6.5, 4);
    ASSERT_TRUE(d.leadIn);
    EXPECT_EQ(d.leadIn->time, 2);
    ASSERT_TRUE(d.leadOut);
    EXPECT_EQ(d.leadOut->time, 7);
    EXPECT_TRUE(d.columns[0].joinsPrevious);

    const TrendBuffer gapped = Samples({0, 1, G, 3, 4, 5, 6, G, 8, 9});
    const DecimatedCurve e = DecimateTrend(gapped, 2.5, 6.5, 4);
    EXPECT_FALSE(e.leadIn);
    EXPECT_FALSE(e.leadOut);
    EXPECT_FALSE(e.columns[0].joinsPrevious);
}

TEST(TrendDecimateTest, EmptyBufferOrRangeGivesEmptyColumns) {
    const TrendBuffer empty;
    const DecimatedCurve d = DecimateTrend(empty, 0, 100, 50);
    EXPECT_EQ(d.columns.size(), 50u);
    EXPECT_FALSE(ValueRangeOf(d));
    const DecimatedCurve e = DecimateTrend(Samples({1, 2}), 10, 5, 0);
    EXPECT_EQ(e.columns.size(), 1u);
    EXPECT_EQ(e.columns[0].count, 0);
}

const TrendMapping kMap{0, 0, 10, 100, 0, 10, 0, 10};

// The time range a run covers on the x axis of kMap-like mappings.
std::pair<double, double> XRange(const TrendPolyline& run) {
    double low = run.front().x;
    double high = run.front().x;
    for (const TrendPoint& p : run) {
        low = std::min(low, p.x);
        high = std::max(high, p.x);
    }
    return {low, high};
}

TEST(TrendDecimateTest, RunsStopAtGapsAndCoverEachColumnsExtremes) {
    struct Case {
        const char* what;
        std::vector<double> values;
        int columns;
        std::vector<std::pair<double, double>> runs;  // x range of each run
    };
    const Case cases[] = {
        {"unbroken", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 10, {{0.5, 9.5}}},
        {"a gap of three", {1, 2, 3, G, G, G, 7, 8, 9, 10}, 10, {{0.5, 2.5}, {6.5, 9.5}}},
        {"lone samples", {G, G, 5, G, G, 6, G, G, G, G}, 10, {{2.5, 2.5}, {5.5, 5.5}}},
        {"two columns of five", {5, 1, 9, 3, 4, 8, 2, 6, 7, 0}, 2, {{2.5, 7.5}}},
    };
    for (const Case& c : cases) {
        const std::vector<TrendPolyline> runs =
            TrendPolylines(DecimateTrend(Samples(c.values), 0, 10, c.columns), kMap);
        ASSERT_EQ(runs.size(), c.runs.size()) << c.what;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(XRange(runs[i]), c.runs[i]) << c.what << " run " << i;
            EXPECT_GE(runs[i].size(), 2u) << c.what;
        }
    }
}

TEST(TrendDecimateTest, ColumnStrokeReachesTheLowestAndHighestValue) {
    // One column: first 5, lowest 1, highest 9, last 2 (y = 100 - 10 v).
    const std::vector<TrendPolyline> runs =
        TrendPolylines(DecimateTrend(Samples({5, 1, 9, 3, 2}), 0, 5, 1), kMap);
    ASSERT_EQ(runs.size(), 1u);
    std::vector<double> ys;
    for (const TrendPoint& p : runs[0]) {
        ys.push_back(p.y);
    }
    EXPECT_EQ(ys, (std::vector<double>{50, 90, 10, 80}));
}

TEST(TrendDecimateTest, LoneSampleShowsAsAOnePixelStroke) {
    const std::vector<TrendPolyline> runs =
        TrendPolylines(DecimateTrend(Samples({G, G, 5, G, G}), 0, 5, 5), kMap);
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].size(), 2u);
    EXPECT_EQ(runs[0][0].x, runs[0][1].x);
    EXPECT_NEAR(std::abs(runs[0][0].y - runs[0][1].y), 1.0, 1e-9);
}

TEST(TrendDecimateTest, FullDayDrawsInAFewThousandPointsWithItsGapKept) {
    // A day of a slow sine, the link lost for one hour in the middle.
    TrendBuffer b;
    const int64_t start = 1'700'000'000;
    for (int64_t i = 0; i < 86400; ++i) {
        const bool lost = i >= 40'000 && i < 43'600;
        b.Push(start + i,
               lost ? kTrendGap : 20.0 + 3.0 * std::sin(static_cast<double>(i) / 3000.0));
    }
    const int width = 800;
    const DecimatedCurve d =
        DecimateTrend(b, static_cast<double>(start), static_cast<double>(start + 86400), width);
    int samples = 0;
    for (const TrendColumn& c : d.columns) {
        samples += c.count;
    }
    EXPECT_EQ(samples, 86400 - 3600);
    const TrendMapping map{0, 0, double(width), 400, double(start), double(start + 86400), 16, 24};
    const std::vector<TrendPolyline> runs = TrendPolylines(d, map);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_LE(runs[0].size() + runs[1].size(), 4u * width);
    EXPECT_LT(XRange(runs[0]).second, map.X(static_cast<double>(start + 40'000)) + 1);
    EXPECT_GT(XRange(runs[1]).first, map.X(static_cast<double>(start + 43'600)) - 1);
    for (const TrendPolyline& run : runs) {
        for (const TrendPoint& p : run) {
            EXPECT_GE(p.y, 0.0);
            EXPECT_LE(p.y, 400.0);
        }
    }
}

}  // namespace
}  // namespace tk358
