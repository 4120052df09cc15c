// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the chart tells about the moment under the mouse pointer: the local
// date and time of the nearest sample and each shown curve's value there.

#include <array>
#include <optional>
#include <string>

#include "trend/trend_axis.h"
#include "trend/trend_recorder.h"

namespace tk358 {

struct TrendReadout {
    int64_t time = 0;
    std::array<std::optional<double>, kTrendCurves> values;  // nothing: a gap
};

// The sample nearest to `time`, when one lies within `reach` seconds.
std::optional<TrendReadout> ReadoutAt(const TrendRecorder& recorder, double time, double reach);

// "DD.MM.YYYY HH:MM:SS", then a line per shown curve: its display's title
// and the value with one decimal and a point, or "???".
std::string FormatReadout(const TrendReadout& readout, const std::array<bool, kTrendCurves>& shown,
                          const UtcOffsetFunction& offset = LocalUtcOffset);

}  // namespace tk358
