// SPDX-License-Identifier: GPL-3.0-or-later
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

namespace {

LogLineOptions Columns(const TrendCsvOptions& options) {
    LogLineOptions columns;
    columns.separatorCode = options.separatorCode;
    columns.decimalCode = options.decimalCode;
    columns.temperature = options.curves[kTrendTemperature];
    columns.setpoint = options.curves[kTrendSetpoint];
    columns.secondSetpoint = options.curves[kTrendSetpoint2];
    return columns;
}

}  // namespace

TrendCsvWriter::TrendCsvWriter(const TrendCsvOptions& options,
                               const TrendCsvEnvironment& environment)
    : environment_(environment),
      userDecimal_(environment.decimalSign()),
      columns_(Columns(options)),
      builder_(LogEnvironment{[this] { return userDecimal_; }, [this] { return dateTime_; }}) {}

void TrendCsvWriter::Add(std::time_t time, const LogReadings& readings) {
    dateTime_ = environment_.dateTime(time);
    const LogLine line = builder_.Build(columns_, readings);
    builder_.Written(line);
    text_ += line.text;
}

std::string TrendCsvWriter::Text() const {
    return text_.empty() ? builder_.Build(columns_, LogReadings{}).header : text_;
}

std::string BuildTrendCsv(const TrendRecorder& recorder, double start, double end,
                          const TrendCsvOptions& options, const TrendCsvEnvironment& environment) {
    TrendCsvWriter writer(options, environment);
    const TrendBuffer& times = recorder.Curve(kTrendTemperature);
    for (std::size_t i = times.LowerBound(start); i < times.Size(); ++i) {
        const int64_t time = times.At(i).time;
        if (static_cast<double>(time) > end) {
            break;
        }
        writer.Add(static_cast<std::time_t>(time), ReadingsAt(recorder, i));
    }
    return writer.Text();
}

}  // namespace tk358
