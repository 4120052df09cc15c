// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_axis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>

#include "text/text_format.h"

namespace tk358 {

namespace {

// The smallest step of 1, 2 or 5 times a power of ten that is at least `raw`,
// and never below a tenth of a degree (the panel's resolution).
double NiceStep(double raw) {
    if (!(raw > 0.1) || !std::isfinite(raw)) {
        return 0.1;
    }
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw * (1 - 1e-9)) {
            return m * power;
        }
    }
    return 10 * power;
}

constexpr std::array<int64_t, 18> kTimeSteps = {
    1,   2,   5,    10,   15,   30,    60,    120,   300,  // seconds, then minutes
    600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};

std::tm UtcTm(int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return tm;
}

std::string Format(const char* format, const std::tm& tm) {
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, format, &tm);
    return std::string(text, n);
}

int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// The first time at or after `t` that falls on a whole `step` of local time.
int64_t NextLocalMultiple(int64_t t, int64_t step, const UtcOffsetFunction& offset) {
    const int64_t local = t + offset(t);
    const int64_t aligned = (FloorDiv(local - 1, step) + 1) * step;
    return t + (aligned - local);
}

}  // namespace

ValueAxis ComputeValueAxis(std::optional<TrendRange> data, int heightPx, int minSpacingPx) {
    TrendRange range = data.value_or(kTrendEmptyRange);
    if (!std::isfinite(range.min) || !std::isfinite(range.max) || range.max < range.min) {
        range = kTrendEmptyRange;
    }
    const double margin = std::max((range.max - range.min) * 0.1, 0.5);
    const double low = range.min - margin;
    const double high = range.max + margin;
    const int slots = std::max(heightPx / std::max(minSpacingPx, 1), 2);
    ValueAxis axis;
    axis.step = NiceStep((high - low) / slots);
    axis.min = std::floor(low / axis.step) * axis.step;
    axis.max = std::ceil(high / axis.step) * axis.step;
    axis.decimals = axis.step >= 1.0 - 1e-9 ? 0 : 1;
    const auto count = static_cast<long>(std::llround((axis.max - axis.min) / axis.step));
    for (long i = 0; i <= count; ++i) {
        axis.ticks.push_back(axis.min + static_cast<double>(i) * axis.step);
    }
    return axis;
}

std::string FormatValueTick(double value, int decimals) {
    const std::string s = FormatFixed(value, decimals);
    return s == "-0" || s == "-0.0" ? s.substr(1) : s;
}

int64_t LocalUtcOffset(int64_t utcSeconds) {
    const auto t = static_cast<std::time_t>(utcSeconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) {
        return 0;
    }
    return tm.tm_gmtoff;
}

TimeAxis ComputeTimeAxis(double start, double end, int widthPx, int minSpacingPx,
                         const UtcOffsetFunction& offset) {
    TimeAxis axis;
    if (!(end > start) || widthPx <= 0 || !std::isfinite(start) || !std::isfinite(end)) {
        return axis;
    }
    const double secondsPerPx = (end - start) / widthPx;
    axis.step = kTimeSteps.back();
    for (int64_t step : kTimeSteps) {
        if (static_cast<double>(step) / secondsPerPx >= minSpacingPx) {
            axis.step = step;
            break;
        }
    }
    const char* format = axis.step < 60 ? "%H:%M:%S" : "%H:%M";
    std::string lastDate;
    auto t = NextLocalMultiple(static_cast<int64_t>(std::ceil(start)), axis.step, offset);
    // A day change of the clock (summer time) may shift the alignment; each
    // tick is aligned again to local time.
    while (static_cast<double>(t) <= end && axis.ticks.size() < 1000) {
        const std::tm local = UtcTm(t + offset(t));
        TimeTick tick{t, Format(format, local), Format("%d.%m.%Y", local)};
        if (tick.date == lastDate) {
            tick.date.clear();
        } else {
            lastDate = tick.date;
        }
        axis.ticks.push_back(std::move(tick));
        t = NextLocalMultiple(t + 1, axis.step, offset);
    }
    return axis;
}

}  // namespace tk358
