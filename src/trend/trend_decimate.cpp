// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_decimate.h"

#include <algorithm>
#include <cmath>

namespace tk358 {

namespace {

struct Scan {
    std::optional<TrendEdgePoint> previous;  // the last sample with a value
    bool broken = false;                     // a gap followed it

    bool Joins(const TrendSample& s) const {
        return previous && !broken && s.time - previous->time <= kTrendJoinSeconds;
    }
    void Take(const TrendSample& s) {
        if (s.IsGap()) {
            broken = true;
            return;
        }
        previous = TrendEdgePoint{static_cast<double>(s.time), s.value};
        broken = false;
    }
};

// Index of the first sample after `time`.
std::size_t UpperBound(const TrendBuffer& buffer, double time) {
    std::size_t i = buffer.LowerBound(time);
    while (i < buffer.Size() && static_cast<double>(buffer.At(i).time) <= time) {
        ++i;
    }
    return i;
}

}  // namespace

void AddToColumn(TrendColumn& c, double value, bool joins) {
    if (c.count == 0) {
        c.min = c.max = c.first = value;
        c.joinsPrevious = joins;
    } else {
        c.min = std::min(c.min, value);
        c.max = std::max(c.max, value);
    }
    c.last = value;
    ++c.count;
}

DecimatedCurve DecimateTrend(const TrendBuffer& buffer, double start, double end, int columns) {
    DecimatedCurve out;
    out.start = start;
    out.end = end;
    out.columns.resize(static_cast<std::size_t>(std::max(columns, 1)));
    if (buffer.Empty() || !(end > start)) {
        return out;
    }
    const double width = (end - start) / static_cast<double>(out.columns.size());
    const std::size_t first = buffer.LowerBound(start);
    const std::size_t last = UpperBound(buffer, end);
    Scan scan;
    if (first > 0) {
        scan.Take(buffer.At(first - 1));
    }
    bool anyInside = false;
    for (std::size_t i = first; i < last; ++i) {
        const TrendSample& s = buffer.At(i);
        if (!s.IsGap()) {
            const bool joins = scan.Joins(s);
            if (!anyInside && joins) {
                out.leadIn = scan.previous;
            }
            anyInside = true;
            const double offset = std::floor((static_cast<double>(s.time) - start) / width);
            const auto column = static_cast<std::size_t>(
                std::clamp(offset, 0.0, static_cast<double>(out.columns.size() - 1)));
            AddToColumn(out.columns[column], s.value, joins);
        }
        scan.Take(s);
    }
    if (anyInside && last < buffer.Size()) {
        const TrendSample& next = buffer.At(last);
        if (!next.IsGap() && scan.Joins(next)) {
            out.leadOut = TrendEdgePoint{static_cast<double>(next.time), next.value};
        }
    }
    return out;
}

std::optional<TrendRange> ValueRangeOf(const DecimatedCurve& curve) {
    std::optional<TrendRange> range;
    for (const TrendColumn& c : curve.columns) {
        if (c.count == 0) {
            continue;
        }
        if (!range) {
            range = TrendRange{c.min, c.max};
        } else {
            range->min = std::min(range->min, c.min);
            range->max = std::max(range->max, c.max);
        }
    }
    return range;
}

double TrendMapping::X(double time) const {
    const double span = endTime - startTime;
    return span > 0 ? left + (time - startTime) / span * width : left;
}

double TrendMapping::Y(double value) const {
    const double span = maxValue - minValue;
    return span > 0 ? top + (maxValue - value) / span * height : top + height / 2;
}

namespace {

void AddPoint(TrendPolyline& line, double x, double y) {
    if (line.empty() || line.back().x != x || line.back().y != y) {
        line.push_back({x, y});
    }
}

// A run of a single point becomes a one-pixel vertical stroke.
void Close(std::vector<TrendPolyline>& runs, TrendPolyline& run) {
    if (run.size() == 1) {
        const TrendPoint p = run.front();
        run = {{p.x, p.y + 0.5}, {p.x, p.y - 0.5}};
    }
    if (!run.empty()) {
        runs.push_back(std::move(run));
    }
    run.clear();
}

}  // namespace

std::vector<TrendPolyline> TrendPolylines(const DecimatedCurve& curve, const TrendMapping& map) {
    std::vector<TrendPolyline> runs;
    TrendPolyline run;
    const double width = (curve.end - curve.start) /
                         static_cast<double>(std::max<std::size_t>(curve.columns.size(), 1));
    bool anyColumn = false;
    for (std::size_t i = 0; i < curve.columns.size(); ++i) {
        const TrendColumn& c = curve.columns[i];
        if (c.count == 0) {
            continue;
        }
        if (!c.joinsPrevious) {
            Close(runs, run);
        } else if (!anyColumn && curve.leadIn) {
            AddPoint(run, map.X(curve.leadIn->time), map.Y(curve.leadIn->value));
        }
        anyColumn = true;
        const double x = map.X(curve.start + (static_cast<double>(i) + 0.5) * width);
        // Over the nearer extreme first, so the stroke doubles back least.
        const bool nearTop = c.first - c.min > c.max - c.first;
        AddPoint(run, x, map.Y(c.first));
        AddPoint(run, x, map.Y(nearTop ? c.max : c.min));
        AddPoint(run, x, map.Y(nearTop ? c.min : c.max));
        AddPoint(run, x, map.Y(c.last));
    }
    if (!run.empty() && curve.leadOut) {
        AddPoint(run, map.X(curve.leadOut->time), map.Y(curve.leadOut->value));
    }
    Close(runs, run);
    return runs;
}

}  // namespace tk358
