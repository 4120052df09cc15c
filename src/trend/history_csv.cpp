// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/history_csv.h"

#include <cmath>

#include "log/log_line.h"

namespace tk358 {

namespace {

LogReadings ReadingsOf(const LogRecord& record) {
    LogReadings r;
    r.connected = true;
    const float t = record.values[kLogTemperature];
    r.temperature.valid = std::isnan(t) ? 0 : 1;
    r.temperature.temperature = std::isnan(t) ? 0.0 : static_cast<double>(t);
    const float sp = record.values[kLogSetpoint];
    r.setpoint.valid = std::isnan(sp) ? 0 : 1;
    r.setpoint.setpoint = std::isnan(sp) ? 0 : static_cast<int32_t>(std::lround(sp * 100.0f));
    const float sp2 = record.values[kLogSetpoint2];
    r.secondSetpoint = SecondSetpointShown{true, !std::isnan(sp2), std::isnan(sp2) ? 0.0 : sp2};
    return r;
}

}  // namespace

std::string BuildHistoryCsv(const TrendHistory& history, double start, double end,
                            const TrendCsvOptions& options,
                            const TrendCsvEnvironment& environment) {
    TrendCsvWriter writer(options, environment);
    history.ForEachRecord(start, end, [&writer](const LogRecord& record) {
        writer.Add(static_cast<std::time_t>(record.time), ReadingsOf(record));
    });
    return writer.Text();
}

}  // namespace tk358
