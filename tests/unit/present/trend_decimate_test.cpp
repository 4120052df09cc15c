#include "monitor/trend_decimate.h"

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

TEST(TrendDecimateTest, SegmentsNeverBridgeAGap) {
    // Columns 0-2 and 6-9 hold values; 3-5 are a gap.
    const TrendBuffer b = Samples({1, 2, 3, G, G, G, 7, 8, 9, 10});
    const std::vector<TrendSegment> segments = TrendSegments(DecimateTrend(b, 0, 10, 10), kMap);
    ASSERT_FALSE(segments.empty());
    for (const TrendSegment& s : segments) {
        const double left = std::min(s.x1, s.x2);
        const double right = std::max(s.x1, s.x2);
        EXPECT_FALSE(left < 3.0 && right > 6.0) << s.x1 << " -> " << s.x2;
    }
    // Joins 0-1, 1-2, 6-7, 7-8, 8-9; single samples need no stroke.
    EXPECT_EQ(segments.size(), 5u);
}

TEST(TrendDecimateTest, LoneSampleShowsAsAOnePixelStroke) {
    const TrendBuffer b = Samples({G, G, 5, G, G});
    const std::vector<TrendSegment> segments = TrendSegments(DecimateTrend(b, 0, 5, 5), kMap);
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(segments[0].x1, segments[0].x2);
    EXPECT_NEAR(std::abs(segments[0].y1 - segments[0].y2), 1.0, 1e-9);
}

TEST(TrendDecimateTest, FullDayDrawsInAFewThousandSegmentsWithItsGapKept) {
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
    const std::vector<TrendSegment> segments = TrendSegments(d, map);
    EXPECT_LE(segments.size(), 2u * width);
    const double gapLeft = map.X(static_cast<double>(start + 40'000));
    const double gapRight = map.X(static_cast<double>(start + 43'600));
    for (const TrendSegment& s : segments) {
        EXPECT_FALSE(std::min(s.x1, s.x2) < gapLeft && std::max(s.x1, s.x2) > gapRight);
        EXPECT_GE(std::min(s.y1, s.y2), 0.0);
        EXPECT_LE(std::max(s.y1, s.y2), 400.0);
    }
}

}  // namespace
}  // namespace tk358
