// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_recorder.h"

#include "panel/value_displays.h"

namespace tk358 {

namespace {

std::optional<double> Charted(const DisplayReading& shown) {
    if (!shown.valid || shown.alarm) {
        return std::nullopt;
    }
    return shown.value;
}

int64_t SecondOf(int64_t ms) {
    const int64_t second = ms / 1000;
    return (ms % 1000 < 0) ? second - 1 : second;
}

}  // namespace

TrendValues TrendValuesOf(const ReadingsSnapshot& readings, bool twoSetpoints) {
    const ValueDisplayReadings shown = ComputeValueDisplays(readings, twoSetpoints);
    TrendValues values;
    values[kTrendTemperature] = Charted(shown.temperature);
    // The ventilation controller's set-point display is hidden.
    if (readings.identity.deviceType != kVentilationController) {
        values[kTrendSetpoint] = Charted(shown.setpoint);
    }
    if (twoSetpoints && shown.setpoint2) {
        values[kTrendSetpoint2] = Charted(*shown.setpoint2);
    }
    return values;
}

TrendRecorder::TrendRecorder(std::size_t capacity, int64_t maxAgeSeconds)
    : curves_{TrendBuffer(capacity, maxAgeSeconds), TrendBuffer(capacity, maxAgeSeconds),
              TrendBuffer(capacity, maxAgeSeconds)} {}

bool TrendRecorder::Tick(int64_t wallMs, const TrendValues& values) {
    const int64_t second = SecondOf(wallMs);
    if (Empty()) {
        Push(second, values);
        last_ = values;
        return true;
    }
    const int64_t newest = NewestTime();
    const int64_t ahead = second - newest;
    if (ahead <= 0) {
        // The same second, or the clock went back. A large step back moves
        // the history; a small one waits for the clock to catch up.
        if (ahead < -kMaxFillSeconds) {
            ShiftTimes(second - 1 - newest);
            Push(second, values);
            last_ = values;
            return true;
        }
        last_ = values;
        return false;
    }
    if (ahead - 1 > kMaxFillSeconds) {
        Push(newest + 1, TrendValues{});
    } else {
        for (int64_t s = newest + 1; s < second; ++s) {
            Push(s, last_);
        }
    }
    Push(second, values);
    last_ = values;
    return true;
}

bool TrendRecorder::Prefill(int64_t second, const TrendValues& values) {
    if (!Empty() && second <= NewestTime()) {
        return false;
    }
    Push(second, values);
    return true;
}

void TrendRecorder::Push(int64_t second, const TrendValues& values) {
    for (std::size_t i = 0; i < curves_.size(); ++i) {
        curves_[i].Push(second, values[i].value_or(kTrendGap));
    }
}

void TrendRecorder::ShiftTimes(int64_t delta) {
    for (TrendBuffer& curve : curves_) {
        curve.ShiftTimes(delta);
    }
}

void TrendRecorder::Clear() {
    for (TrendBuffer& curve : curves_) {
        curve.Clear();
    }
    last_ = TrendValues{};
}

}  // namespace tk358
