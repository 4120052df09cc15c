// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Collects the chart's history from the window's 100 ms refresh: one sample a
// second for each of the three value displays (temperature, set point, second
// set point), kept for 24 hours.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "panel/readings_snapshot.h"
#include "trend/trend_buffer.h"

namespace tk358 {

inline constexpr int kTrendTemperature = 0;
inline constexpr int kTrendSetpoint = 1;
inline constexpr int kTrendSetpoint2 = 2;
inline constexpr int kTrendCurves = 3;

// What the three displays show on one tick; nothing where a display shows
// "???", is flagged faulty (blinking over a value, which the log writes as
// "???" too) or is not in use.
using TrendValues = std::array<std::optional<double>, kTrendCurves>;

// The values of one tick, by the same rules as the value displays.
// `twoSetpoints` is the window's current use of the second display.
TrendValues TrendValuesOf(const ReadingsSnapshot& readings, bool twoSetpoints);

class TrendRecorder {
public:
    // Seconds that a stalled refresh may leave out and still have them filled
    // with the values shown meanwhile; a longer pause is stored as a gap.
    static constexpr int64_t kMaxFillSeconds = 5;

    explicit TrendRecorder(std::size_t capacity = kTrendCapacity,
                           int64_t maxAgeSeconds = kTrendMaxAgeSeconds);

    // One refresh tick at `wallMs` (milliseconds since the epoch). The first
    // tick of each wall-clock second stores that second's sample; true then.
    // Seconds the ticks skipped are filled with the last values shown (up to
    // kMaxFillSeconds) or marked by one gap. A clock stepped back by a few
    // seconds stores nothing until it passes the newest sample again; a larger
    // step moves the whole history with it, so the history keeps its shape
    // and the times keep ascending.
    bool Tick(int64_t wallMs, const TrendValues& values);

    const TrendBuffer& Curve(int curve) const {
        return curves_.at(static_cast<std::size_t>(curve));
    }
    std::size_t Size() const { return curves_[0].Size(); }
    bool Empty() const { return curves_[0].Empty(); }
    int64_t OldestTime() const { return curves_[0].Oldest().time; }
    int64_t NewestTime() const { return curves_[0].Newest().time; }
    // A sample from before the recording, such as one read back from the
    // measurement log; refused (false) when it is not later than the newest.
    bool Prefill(int64_t second, const TrendValues& values);

    // Whether the curve has at least one value in the history.
    bool HasValues(int curve) const { return Curve(curve).ValidCount() > 0; }

    void Clear();

private:
    void Push(int64_t second, const TrendValues& values);
    void ShiftTimes(int64_t delta);

    std::array<TrendBuffer, kTrendCurves> curves_;
    TrendValues last_;  // the values of the latest tick
};

}  // namespace tk358
