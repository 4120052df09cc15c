#include "trend/trend_csv.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "log/locale_format.h"
#include "log/log_line.h"

namespace tk358 {

namespace {

// The log keeps the set point in hundredths of a degree.
int32_t Hundredths(double value) {
    const double scaled = std::round(value * 100.0);
    return static_cast<int32_t>(std::clamp<double>(scaled, std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max()));
}

LogReadings ReadingsAt(const TrendRecorder& recorder, std::size_t index) {
    LogReadings r;
    r.connected = true;
    const TrendSample& t = recorder.Curve(kTrendTemperature).At(index);
    r.temperature.valid = t.IsGap() ? 0 : 1;
    r.temperature.temperature = t.IsGap() ? 0.0 : t.value;
    const TrendSample& sp = recorder.Curve(kTrendSetpoint).At(index);
    r.setpoint.valid = sp.IsGap() ? 0 : 1;
    r.setpoint.setpoint = sp.IsGap() ? 0 : Hundredths(sp.value);
    const TrendSample& sp2 = recorder.Curve(kTrendSetpoint2).At(index);
    r.secondSetpoint = SecondSetpointShown{true, !sp2.IsGap(), sp2.IsGap() ? 0.0 : sp2.value};
    return r;
}

}  // namespace

TrendCsvEnvironment UserTrendCsvEnvironment() {
    return TrendCsvEnvironment{[] { return UserDecimalSign(); },
                               [](std::time_t t) { return FormatLocalDateTime(t); }};
}

LogLineOptions TrendCsvColumns(const TrendCsvOptions& options) {
    LogLineOptions columns;
    columns.separatorCode = options.separatorCode;
    columns.decimalCode = options.decimalCode;
    columns.temperature = options.curves[kTrendTemperature];
    columns.setpoint = options.curves[kTrendSetpoint];
    columns.secondSetpoint = options.curves[kTrendSetpoint2];
    return columns;
}

std::string BuildTrendCsv(const TrendRecorder& recorder, double start, double end,
                          const TrendCsvOptions& options, const TrendCsvEnvironment& environment) {
    // The user's decimal sign is read once for the whole export.
    const std::string userDecimal = environment.decimalSign();
    std::string dateTime;
    LogLineBuilder builder(
        LogEnvironment{[&userDecimal] { return userDecimal; }, [&dateTime] { return dateTime; }});
    const LogLineOptions columns = TrendCsvColumns(options);

    std::string text;
    const TrendBuffer& times = recorder.Curve(kTrendTemperature);
    for (std::size_t i = times.LowerBound(start); i < times.Size(); ++i) {
        const int64_t time = times.At(i).time;
        if (static_cast<double>(time) > end) {
            break;
        }
        dateTime = environment.dateTime(static_cast<std::time_t>(time));
        const LogLine line = builder.Build(columns, ReadingsAt(recorder, i));
        builder.Written(line);
        text += line.text;
    }
    if (text.empty()) {
        // No sample in view: the header alone still names the columns.
        LogLine line = builder.Build(columns, LogReadings{});
        text = line.header;
    }
    return text;
}

}  // namespace tk358
