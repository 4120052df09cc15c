// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The chart's samples as text in the measurement log's own format: the
// header "Data i Godzina" and the titles of the curves, then one line a
// second with the date and time as the log writes it, "???" where a curve has
// no value, the log's column separator and decimal sign, CR LF line ends.

#include <array>
#include <ctime>
#include <functional>
#include <string>

#include "log/log_line.h"
#include "trend/trend_recorder.h"

namespace tk358 {

struct TrendCsvOptions {
    int separatorCode = 0;                                    // FILE_SEP_FORMAT
    int decimalCode = 0;                                      // FILE_DEC_SEPARATOR
    std::array<bool, kTrendCurves> curves{true, true, true};  // the columns written
};

struct TrendCsvEnvironment {
    std::function<std::string()> decimalSign;          // the user's decimal sign
    std::function<std::string(std::time_t)> dateTime;  // the log's date and time text
};

// The user's decimal sign and "%c" in local time, as the log takes them.
TrendCsvEnvironment UserTrendCsvEnvironment();

// Builds an export's text line by line in the log's format. The user's
// decimal sign is read once for the whole export; with no line added, the
// text is the header alone, which still names the columns.
class TrendCsvWriter {
public:
    TrendCsvWriter(const TrendCsvOptions& options, const TrendCsvEnvironment& environment);
    TrendCsvWriter(const TrendCsvWriter&) = delete;  // the builder refers to this writer
    TrendCsvWriter& operator=(const TrendCsvWriter&) = delete;

    void Add(std::time_t time, const LogReadings& readings);
    std::string Text() const;

private:
    const TrendCsvEnvironment& environment_;
    std::string userDecimal_;
    std::string dateTime_;  // the date and time of the line being built
    LogLineOptions columns_;
    LogLineBuilder builder_;
    std::string text_;
};

// The samples of [start, end].
std::string BuildTrendCsv(const TrendRecorder& recorder, double start, double end,
                          const TrendCsvOptions& options,
                          const TrendCsvEnvironment& environment = UserTrendCsvEnvironment());

}  // namespace tk358
