// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The history of one charted quantity: a ring of at most 24 hours of samples,
// one a second, allocated once. The oldest samples go first, both when the
// ring is full and when they are more than a day older than the newest.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace tk358 {

// A sample without a value: the link was lost or the reading was invalid.
inline constexpr double kTrendGap = std::numeric_limits<double>::quiet_NaN();

struct TrendSample {
    int64_t time = 0;          // seconds since the epoch (UTC)
    double value = kTrendGap;  // °C, or kTrendGap

    bool IsGap() const { return std::isnan(value); }
};

inline constexpr std::size_t kTrendCapacity = 86400;  // one sample a second for 24 hours
inline constexpr int64_t kTrendMaxAgeSeconds = 86400;

class TrendBuffer {
public:
    explicit TrendBuffer(std::size_t capacity = kTrendCapacity,
                         int64_t maxAgeSeconds = kTrendMaxAgeSeconds);

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    // Samples that carry a value (not gaps).
    std::size_t ValidCount() const { return valid_; }

    // Appends a sample later than the newest one. A sample that is not later
    // is refused (false), so the times always ascend. Non-finite values are
    // stored as gaps.
    bool Push(int64_t time, double value);

    // Index 0 is the oldest sample.
    const TrendSample& At(std::size_t index) const { return ring_[(head_ + index) % ring_.size()]; }
    const TrendSample& Oldest() const { return At(0); }
    const TrendSample& Newest() const { return At(size_ - 1); }

    // Index of the first sample at or after `time`; Size() when there is none.
    std::size_t LowerBound(double time) const;

    // Moves every stored time by `delta` seconds: the wall clock was stepped
    // and the history follows it.
    void ShiftTimes(int64_t delta);

    void Clear();

private:
    void DropOldest();

    std::vector<TrendSample> ring_;  // sized once, never grows
    int64_t maxAge_;
    std::size_t head_ = 0;  // position of the oldest sample
    std::size_t size_ = 0;
    std::size_t valid_ = 0;
};

}  // namespace tk358
