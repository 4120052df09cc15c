// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the chart draws from: the live recording or a logged history. Either
// gives its time range, which curves have values, a curve reduced to pixel
// columns and the reading nearest to a moment.

#include <optional>

#include "trend/trend_decimate.h"
#include "trend/trend_readout.h"
#include "trend/trend_recorder.h"

namespace tk358 {

class TrendSource {
public:
    virtual ~TrendSource() = default;
    virtual bool Empty() const = 0;
    virtual double OldestTime() const = 0;
    virtual double NewestTime() const = 0;
    virtual bool HasValues(int curve) const = 0;
    virtual DecimatedCurve Decimate(int curve, double start, double end, int columns) const = 0;
    virtual std::optional<TrendReadout> Readout(double time, double reach) const = 0;
};

// The recorder of the running program.
class LiveTrendSource final : public TrendSource {
public:
    explicit LiveTrendSource(const TrendRecorder& recorder) : recorder_(recorder) {}

    bool Empty() const override { return recorder_.Empty(); }
    double OldestTime() const override { return static_cast<double>(recorder_.OldestTime()); }
    double NewestTime() const override { return static_cast<double>(recorder_.NewestTime()); }
    bool HasValues(int curve) const override { return recorder_.HasValues(curve); }
    DecimatedCurve Decimate(int curve, double start, double end, int columns) const override {
        return DecimateTrend(recorder_.Curve(curve), start, end, columns);
    }
    std::optional<TrendReadout> Readout(double time, double reach) const override {
        return ReadoutAt(recorder_, time, reach);
    }
    const TrendRecorder& Recorder() const { return recorder_; }

private:
    const TrendRecorder& recorder_;
};

}  // namespace tk358
