// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_buffer.h"

#include <algorithm>

namespace tk358 {

TrendBuffer::TrendBuffer(std::size_t capacity, int64_t maxAgeSeconds)
    : ring_(std::max<std::size_t>(capacity, 1)), maxAge_(maxAgeSeconds) {}

bool TrendBuffer::Push(int64_t time, double value) {
    if (size_ > 0 && time <= Newest().time) {
        return false;
    }
    if (size_ == ring_.size()) {
        DropOldest();
    }
    while (size_ > 0 && Oldest().time <= time - maxAge_) {
        DropOldest();
    }
    TrendSample& slot = ring_[(head_ + size_) % ring_.size()];
    slot.time = time;
    slot.value = std::isfinite(value) ? value : kTrendGap;
    ++size_;
    if (!slot.IsGap()) {
        ++valid_;
    }
    return true;
}

void TrendBuffer::DropOldest() {
    if (!Oldest().IsGap()) {
        --valid_;
    }
    head_ = (head_ + 1) % ring_.size();
    --size_;
}

std::size_t TrendBuffer::LowerBound(double time) const {
    std::size_t low = 0;
    std::size_t high = size_;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (static_cast<double>(At(mid).time) < time) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

void TrendBuffer::ShiftTimes(int64_t delta) {
    for (std::size_t i = 0; i < size_; ++i) {
        ring_[(head_ + i) % ring_.size()].time += delta;
    }
}

void TrendBuffer::Clear() {
    head_ = 0;
    size_ = 0;
    valid_ = 0;
}

}  // namespace tk358
