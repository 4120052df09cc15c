// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_buffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace tk358 {
namespace {

std::vector<int64_t> Times(const TrendBuffer& b) {
    std::vector<int64_t> times;
    for (std::size_t i = 0; i < b.Size(); ++i) {
        times.push_back(b.At(i).time);
    }
    return times;
}

TEST(TrendBufferTest, WrapsAroundKeepingTheNewestInOrder) {
    struct Case {
        int pushes;
        std::vector<int64_t> kept;
    };
    const Case cases[] = {
        {0, {}},
        {3, {1, 2, 3}},
        {5, {1, 2, 3, 4, 5}},
        {6, {2, 3, 4, 5, 6}},
        {12, {8, 9, 10, 11, 12}},  // wrapped more than once
    };
    for (const Case& c : cases) {
        TrendBuffer b(5);
        for (int t = 1; t <= c.pushes; ++t) {
            ASSERT_TRUE(b.Push(t, t * 0.5));
        }
        EXPECT_EQ(Times(b), c.kept) << c.pushes;
        for (std::size_t i = 0; i < b.Size(); ++i) {
            EXPECT_EQ(b.At(i).value, static_cast<double>(b.At(i).time) * 0.5);
        }
    }
}

TEST(TrendBufferTest, HoldsADayAtMostWhateverIsPushed) {
    TrendBuffer b;
    // The first slot of the ring, allocated on construction: every sample
    // stays in the day's worth of slots that follow it, so it never grows.
    const TrendSample* const ring = &b.At(0);
    const int64_t first = 1'700'000'000;
    for (int64_t i = 0; i < 200'000; ++i) {
        b.Push(first + i, 20.0 + static_cast<double>(i % 50) / 10.0);
    }
    EXPECT_EQ(b.Size(), 86400u);
    std::vector<bool> slotUsed(86400, false);
    for (std::size_t i = 0; i < b.Size(); ++i) {
        const std::ptrdiff_t slot = &b.At(i) - ring;
        ASSERT_TRUE(slot >= 0 && slot < 86400) << i;
        EXPECT_FALSE(slotUsed[static_cast<std::size_t>(slot)]) << i;
        slotUsed[static_cast<std::size_t>(slot)] = true;
    }
    EXPECT_EQ(b.ValidCount(), 86400u);
    EXPECT_EQ(b.Oldest().time, first + 200'000 - 86400);
    EXPECT_EQ(b.Newest().time, first + 199'999);
}

TEST(TrendBufferTest, DropsSamplesMoreThanADayOlderThanTheNewest) {
    TrendBuffer b;
    for (int64_t t : {0, 10, 50'000, 86'399}) {
        b.Push(t, 1.0);
    }
    EXPECT_EQ(Times(b), (std::vector<int64_t>{0, 10, 50'000, 86'399}));
    b.Push(86'400, 1.0);  // 0 is now a full day old
    EXPECT_EQ(Times(b), (std::vector<int64_t>{10, 50'000, 86'399, 86'400}));
    b.Push(200'000, 1.0);  // after a long pause only the new sample is within the day
    EXPECT_EQ(Times(b), (std::vector<int64_t>{200'000}));
    EXPECT_EQ(b.ValidCount(), 1u);
}

TEST(TrendBufferTest, RefusesSamplesThatAreNotLater) {
    TrendBuffer b(10);
    EXPECT_TRUE(b.Push(100, 1.0));
    EXPECT_FALSE(b.Push(100, 2.0));
    EXPECT_FALSE(b.Push(99, 3.0));
    EXPECT_TRUE(b.Push(101, 4.0));
    EXPECT_EQ(Times(b), (std::vector<int64_t>{100, 101}));
    EXPECT_EQ(b.At(0).value, 1.0);
}

TEST(TrendBufferTest, GapsAreKeptAndCountedApartFromValues) {
    TrendBuffer b(4);
    const double values[] = {1.0, kTrendGap, std::numeric_limits<double>::infinity(), 2.0};
    for (int i = 0; i < 4; ++i) {
        b.Push(i, values[i]);
    }
    EXPECT_FALSE(b.At(0).IsGap());
    EXPECT_TRUE(b.At(1).IsGap());
    EXPECT_TRUE(b.At(2).IsGap());  // not finite: no value
    EXPECT_FALSE(b.At(3).IsGap());
    EXPECT_EQ(b.ValidCount(), 2u);
    b.Push(4, 3.0);  // drops the value at 0
    EXPECT_EQ(b.ValidCount(), 2u);
    b.Push(5, 4.0);  // drops the gap at 1
    EXPECT_EQ(b.ValidCount(), 3u);
    b.Clear();
    EXPECT_EQ(b.ValidCount(), 0u);
    EXPECT_TRUE(b.Empty());
}

TEST(TrendBufferTest, LowerBoundFindsTheFirstSampleAtOrAfterATimeAcrossTheWrap) {
    TrendBuffer b(6);
    for (int64_t t = 0; t < 9; ++t) {
        b.Push(t * 10, 0.0);  // keeps 30..80, wrapped
    }
    const std::pair<double, std::size_t> cases[] = {
        {-5, 0}, {30, 0}, {30.5, 1}, {45, 2}, {80, 5}, {80.1, 6}, {1e9, 6},
    };
    for (auto [time, index] : cases) {
        EXPECT_EQ(b.LowerBound(time), index) << time;
    }
}

TEST(TrendBufferTest, ShiftMovesEveryTimeAndKeepsTheOrder) {
    TrendBuffer b(3);
    for (int64_t t = 1; t <= 5; ++t) {
        b.Push(t, static_cast<double>(t));
    }
    b.ShiftTimes(-3600);
    EXPECT_EQ(Times(b), (std::vector<int64_t>{-3597, -3596, -3595}));
    EXPECT_TRUE(b.Push(-3594, 1.0));
    EXPECT_EQ(b.Oldest().value, 4.0);
}

}  // namespace
}  // namespace tk358
