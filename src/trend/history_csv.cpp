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
    const std::string userDecimal = environment.decimalSign();
    std::string dateTime;
    LogLineBuilder builder(
        LogEnvironment{[&userDecimal] { return userDecimal; }, [&dateTime] { return dateTime; }});
    const LogLineOptions columns = TrendCsvColumns(options);
    std::string text;
    history.ForEachRecord(start, end, [&](const LogRecord& record) {
        dateTime = environment.dateTime(static_cast<std::time_t>(record.time));
        const LogLine line = builder.Build(columns, ReadingsOf(record));
        builder.Written(line);
        text += line.text;
    });
    if (text.empty()) {
        text = builder.Build(columns, LogReadings{}).header;
    }
    return text;
}

}  // namespace tk358
