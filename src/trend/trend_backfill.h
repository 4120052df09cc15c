// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The live chart survives a restart: at start the recorder is filled from the
// end of the measurement log being written, up to the chart's day, so the
// curve goes on where the last run left it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "trend/trend_recorder.h"

namespace tk358 {

struct BackfillResult {
    std::size_t lines = 0;    // log lines taken
    std::size_t samples = 0;  // one-second samples stored
};

// Reads the lines of (now - seconds, now] from the end of the log at `path`
// into an empty recorder. Each line's values stand for every second up to the
// next line when that follows within the log's interval (and a half);
// otherwise the curve has a gap there, as it has for "???".
BackfillResult BackfillFromLog(TrendRecorder& recorder, const std::string& path, int64_t now,
                               int64_t seconds = kTrendMaxAgeSeconds);

}  // namespace tk358
