// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which stretch of time the chart shows: a span ending at the newest sample
// while following, or wherever the operator panned and zoomed to.

#include <array>
#include <optional>

namespace tk358 {

// The spans offered as buttons, in seconds: 5 min, 30 min, 2 h, 8 h, 24 h;
// the labels carry the buttons' mnemonics (Alt+5, Alt+3, Alt+2, Alt+8, Alt+4).
inline constexpr std::array<int, 5> kTrendSpans = {300, 1800, 7200, 28800, 86400};
inline constexpr std::array<const char*, 5> kTrendSpanLabels = {"&5 min", "&30 min", "&2 h", "&8 h",
                                                                "2&4 h"};
inline constexpr double kTrendMinSpan = 60.0;
inline constexpr double kTrendMaxSpan = 86400.0;
inline constexpr int kTrendDefaultSpan = 1800;

// A stored span brought into the range the chart offers.
int TrendSpanFromSettings(int stored);

class TrendView {
public:
    explicit TrendView(double span = kTrendDefaultSpan);

    double Span() const { return span_; }
    double Start() const { return end_ - span_; }
    double End() const { return end_; }
    bool Following() const { return following_; }
    // The index into kTrendSpans when the span is one of the offered ones.
    std::optional<int> SpanIndex() const;

    // The newest time (the newest sample, or now without samples) moved on;
    // while following the right edge goes with it.
    void Advance(double newest);
    // One of the offered spans or any other in range; the right edge stays.
    void SetSpan(double span);
    // Moves the view by `seconds` (negative: into the past); stops following.
    void Pan(double seconds);
    // Scales the span by `factor` around `anchor`, which keeps its place on
    // the screen; stops following.
    void ZoomAt(double anchor, double factor);
    // Back to the newest sample on the right edge.
    void Follow(double newest);
    // The longest span offered: a day for the live recording, the whole of
    // a logged history; the span shrinks to it.
    void SetMaxSpan(double seconds);
    double MaxSpan() const { return maxSpan_; }
    // Keeps the view on the history [oldest, newest]: the right edge neither
    // passes the newest sample nor leaves the oldest one beyond the left edge.
    void Limit(double oldest, double newest);

private:
    double maxSpan_ = kTrendMaxSpan;
    double span_;
    double end_ = 0.0;
    bool following_ = true;
};

}  // namespace tk358
