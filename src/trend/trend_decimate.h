// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reduces a curve's samples to what a chart of a given width can show: per
// pixel column the lowest, highest, first and last value, and whether the
// line runs on from the column before. 86 400 samples thus draw as a few
// thousand line segments, and a gap stays a gap at every zoom.

#include <optional>
#include <vector>

#include "trend/trend_buffer.h"

namespace tk358 {

// Samples further apart than this are not joined by a line.
inline constexpr double kTrendJoinSeconds = 2.0;

struct TrendColumn {
    int count = 0;  // samples with a value in the column
    double min = 0.0;
    double max = 0.0;
    double first = 0.0;
    double last = 0.0;
    // A line runs from the last value of the previous column that has values
    // to `first`: no gap and no missing time lies between them.
    bool joinsPrevious = false;
};

// Takes `value` into the column; `joins` says whether a line reaches the
// column's first value from the previous one.
void AddToColumn(TrendColumn& c, double value, bool joins);

struct TrendEdgePoint {
    double time = 0.0;
    double value = 0.0;
};

struct DecimatedCurve {
    double start = 0.0;  // time of the left edge of column 0
    double end = 0.0;    // time of the right edge of the last column
    std::vector<TrendColumn> columns;
    // Samples just outside [start, end] that join the first and the last
    // sample inside, so the line reaches the chart's edges.
    std::optional<TrendEdgePoint> leadIn;
    std::optional<TrendEdgePoint> leadOut;
};

// The samples of [start, end] split into `columns` equal columns (at least
// one). Only the samples in that range are read.
DecimatedCurve DecimateTrend(const TrendBuffer& buffer, double start, double end, int columns);

// Lowest and highest value of the samples in [start, end]; nothing when none
// has a value.
struct TrendRange {
    double min = 0.0;
    double max = 0.0;
};
std::optional<TrendRange> ValueRangeOf(const DecimatedCurve& curve);

// Where a curve is drawn: times map linearly onto [left, left + width],
// values onto [top + height, top] (higher values higher up).
struct TrendMapping {
    double left = 0.0;
    double top = 0.0;
    double width = 1.0;
    double height = 1.0;
    double startTime = 0.0;
    double endTime = 1.0;
    double minValue = 0.0;
    double maxValue = 1.0;

    double X(double time) const;
    double Y(double value) const;
};

struct TrendPoint {
    double x = 0.0;
    double y = 0.0;
};
using TrendPolyline = std::vector<TrendPoint>;

// The decimated curve as lines to draw, one per unbroken run of samples: in
// each column, at its centre, from the first value over the lowest and the
// highest to the last, then on to the next column. A run of one sample is a
// one-pixel stroke, so it shows. Drawn as polylines, a dashed pen keeps its
// pattern along the whole run.
std::vector<TrendPolyline> TrendPolylines(const DecimatedCurve& curve, const TrendMapping& map);

}  // namespace tk358
