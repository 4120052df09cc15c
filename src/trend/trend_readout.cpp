// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_readout.h"

#include <cmath>
#include <ctime>

#include "present/display_rows.h"
#include "text/text_format.h"

namespace tk358 {

std::optional<TrendReadout> ReadoutAt(const TrendRecorder& recorder, double time, double reach) {
    if (recorder.Empty() || !std::isfinite(time)) {
        return std::nullopt;
    }
    const TrendBuffer& times = recorder.Curve(kTrendTemperature);
    std::size_t index = times.LowerBound(time);
    if (index == times.Size() ||
        (index > 0 && time - static_cast<double>(times.At(index - 1).time) <
                          static_cast<double>(times.At(index).time) - time)) {
        --index;
    }
    const int64_t nearest = times.At(index).time;
    if (std::abs(static_cast<double>(nearest) - time) > reach) {
        return std::nullopt;
    }
    TrendReadout readout;
    readout.time = nearest;
    for (int curve = 0; curve < kTrendCurves; ++curve) {
        const TrendSample& s = recorder.Curve(curve).At(index);
        if (!s.IsGap()) {
            readout.values[static_cast<std::size_t>(curve)] = s.value;
        }
    }
    return readout;
}

std::string FormatReadout(const TrendReadout& readout, const std::array<bool, kTrendCurves>& shown,
                          const UtcOffsetFunction& offset) {
    const auto local = static_cast<std::time_t>(readout.time + offset(readout.time));
    std::tm tm{};
    gmtime_r(&local, &tm);
    char text[64];
    std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &tm);
    std::string out = text;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (!shown[i]) {
            continue;
        }
        out += '\n';
        out += kDisplayRowTitles[i];
        out += ": ";
        if (readout.values[i]) {
            out += FormatFixed(*readout.values[i], 1) + " °C";
        } else {
            out += "???";
        }
    }
    return out;
}

}  // namespace tk358
