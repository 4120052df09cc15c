// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_view.h"

#include <algorithm>
#include <cmath>

namespace tk358 {

namespace {

double ClampSpan(double span, double most = kTrendMaxSpan) {
    if (!std::isfinite(span)) {
        return kTrendDefaultSpan;
    }
    return std::clamp(span, kTrendMinSpan, most);
}

}  // namespace

int TrendSpanFromSettings(int stored) {
    return static_cast<int>(ClampSpan(static_cast<double>(stored)));
}

TrendView::TrendView(double span) : span_(ClampSpan(span)) {}

std::optional<int> TrendView::SpanIndex() const {
    for (std::size_t i = 0; i < kTrendSpans.size(); ++i) {
        if (std::abs(span_ - kTrendSpans[i]) < 0.5) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

void TrendView::Advance(double newest) {
    if (following_) {
        end_ = newest;
    }
}

void TrendView::SetSpan(double span) {
    span_ = ClampSpan(span, maxSpan_);
}

void TrendView::SetMaxSpan(double seconds) {
    maxSpan_ = std::isfinite(seconds) ? std::max(seconds, kTrendMinSpan) : kTrendMaxSpan;
    span_ = std::min(span_, maxSpan_);
}

void TrendView::Pan(double seconds) {
    if (std::isfinite(seconds)) {
        end_ += seconds;
        following_ = false;
    }
}

void TrendView::ZoomAt(double anchor, double factor) {
    if (!std::isfinite(anchor) || !std::isfinite(factor) || factor <= 0) {
        return;
    }
    const double span = ClampSpan(span_ * factor, maxSpan_);
    const double share = (end_ - anchor) / span_;  // of the span right of the anchor
    end_ = anchor + share * span;
    span_ = span;
    following_ = false;
}

void TrendView::Follow(double newest) {
    following_ = true;
    end_ = newest;
}

void TrendView::Limit(double oldest, double newest) {
    const double lowest = std::min(oldest + span_, newest);
    end_ = std::clamp(end_, lowest, newest);
}

}  // namespace tk358
