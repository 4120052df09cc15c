#include "monitor/trend_decimate.h"

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

// Index of the first sample after `time`.
std::size_t UpperBound(const TrendBuffer& buffer, double time) {
    std::size_t i = buffer.LowerBound(time);
    while (i < buffer.Size() && static_cast<double>(buffer.At(i).time) <= time) {
        ++i;
    }
    return i;
}

}  // namespace

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

std::vector<TrendSegment> TrendSegments(const DecimatedCurve& curve, const TrendMapping& map) {
    std::vector<TrendSegment> segments;
    const std::size_t n = curve.columns.size();
    const double width = (curve.end - curve.start) / static_cast<double>(n);
    const auto centre = [&](std::size_t i) {
        return map.X(curve.start + (static_cast<double>(i) + 0.5) * width);
    };
    std::vector<bool> joined(n, false);
    std::optional<std::size_t> previous;  // the last column with values
    for (std::size_t i = 0; i < n; ++i) {
        const TrendColumn& c = curve.columns[i];
        if (c.count == 0) {
            continue;
        }
        if (c.joinsPrevious && previous) {
            const TrendColumn& p = curve.columns[*previous];
            segments.push_back({centre(*previous), map.Y(p.last), centre(i), map.Y(c.first)});
            joined[*previous] = joined[i] = true;
        } else if (c.joinsPrevious && curve.leadIn) {
            segments.push_back(
                {map.X(curve.leadIn->time), map.Y(curve.leadIn->value), centre(i), map.Y(c.first)});
            joined[i] = true;
        }
        previous = i;
    }
    if (previous && curve.leadOut) {
        segments.push_back({centre(*previous), map.Y(curve.columns[*previous].last),
                            map.X(curve.leadOut->time), map.Y(curve.leadOut->value)});
        joined[*previous] = true;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const TrendColumn& c = curve.columns[i];
        if (c.count == 0 || (c.min == c.max && joined[i])) {
            continue;
        }
        const double low = map.Y(c.min);
        const double high = map.Y(c.max);
        // A lone sample still shows as a one-pixel stroke.
        const double pad = std::abs(low - high) < 1.0 ? 0.5 : 0.0;
        segments.push_back({centre(i), low + pad, centre(i), high - pad});
    }
    return segments;
}

}  // namespace tk358
