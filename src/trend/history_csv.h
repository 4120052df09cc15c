// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The readings of a logged history in view, written out again in the
// measurement log's format, as the live chart's export writes its samples.

#include <string>

#include "trend/trend_csv.h"
#include "trend/trend_history.h"

namespace tk358 {

std::string BuildHistoryCsv(const TrendHistory& history, double start, double end,
                            const TrendCsvOptions& options,
                            const TrendCsvEnvironment& environment = UserTrendCsvEnvironment());

}  // namespace tk358
