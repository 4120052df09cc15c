// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The chart's two axes: °C on the left, ranged to the values shown with a
// margin and ticked in steps of 1, 2 or 5 times a power of ten; local time
// below, ticked at whole local minutes, hours and so on, with the date where
// the day changes.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "trend/trend_decimate.h"

namespace tk358 {

struct ValueAxis {
    double min = 0.0;
    double max = 1.0;
    double step = 1.0;
    int decimals = 0;  // for the tick labels
    std::vector<double> ticks;
};

// The range shown when there is no value at all.
inline constexpr TrendRange kTrendEmptyRange{15.0, 25.0};

// `data` the lowest and highest value in view (nothing: no value), `heightPx`
// the plot's height, `minSpacingPx` the least distance between two ticks.
ValueAxis ComputeValueAxis(std::optional<TrendRange> data, int heightPx, int minSpacingPx);

// Text of a value tick with the axis' decimals and a point.
std::string FormatValueTick(double value, int decimals);

// Offset of local time from UTC at a moment, in seconds (east positive).
using UtcOffsetFunction = std::function<int64_t(int64_t utcSeconds)>;
// The user's time zone.
int64_t LocalUtcOffset(int64_t utcSeconds);

struct TimeTick {
    int64_t time = 0;   // seconds since the epoch (UTC)
    std::string label;  // "HH:MM", or "HH:MM:SS" below a minute's step
    std::string date;   // "DD.MM.YYYY" at the first tick and where the day changes
};

struct TimeAxis {
    int64_t step = 60;  // seconds
    std::vector<TimeTick> ticks;
};

// Ticks for [start, end] over `widthPx` pixels, at least `minSpacingPx` apart.
TimeAxis ComputeTimeAxis(double start, double end, int widthPx, int minSpacingPx,
                         const UtcOffsetFunction& offset = LocalUtcOffset);

}  // namespace tk358
