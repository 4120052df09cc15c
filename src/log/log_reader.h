// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reads measurement logs back, whatever options and locale wrote them: any
// column separator and decimal sign (a comma as both is split by the values'
// one decimal), the "%c" date and time of the writing locale, headers that
// change the columns in the middle of a file, comments, empty lines, "???",
// CR LF or LF, a byte-order mark and a torn last line. A line that cannot be
// read is skipped and counted; nothing is fatal. Several files are read as one
// series in the order given, each in its own order (a clock set back is kept,
// not sorted away).

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "log/log_date_layout.h"

namespace tk358 {

// The columns a log can carry, in the order the log writes them.
inline constexpr int kLogTemperature = 0;
inline constexpr int kLogSetpoint = 1;
inline constexpr int kLogSetpoint2 = 2;
inline constexpr int kLogColumnCount = 3;

inline constexpr float kLogNoValue = std::numeric_limits<float>::quiet_NaN();

// One line of readings.
struct LogRecord {
    int64_t time = 0;  // seconds since the epoch (UTC)
    // °C; NaN for "???" or a column the line does not carry
    std::array<float, kLogColumnCount> values{kLogNoValue, kLogNoValue, kLogNoValue};
};

struct LogReadStats {
    uint64_t records = 0;  // lines read as readings
    uint64_t headers = 0;
    uint64_t skipped = 0;    // lines that could not be read (comments among them)
    uint64_t backwards = 0;  // readings earlier than the one before them
    // The second set point differed from the first on some line.
    bool setpoint2Differs = false;
};

// What to try on a date that no learned layout reads: these locales' "%c"
// ("" is the environment's), then ISO 8601.
struct LogReaderOptions {
    std::vector<std::string> locales{"", "pl_PL.UTF-8", "C"};
};

// Where the reader stands after a line: the date layout and the columns of the
// last header. A reader put back into a state reads on from any line after it.
struct LogReaderState {
    int layout = -1;     // index into the learned layouts, -1 none yet
    char separator = 0;  // 0 not known yet
    // The curve of each value column of a line; -1 for no curve.
    std::array<int8_t, kLogColumnCount> columns{kLogTemperature, kLogSetpoint, kLogSetpoint2};
    int8_t count = 0;  // value columns of the header
    bool fromHeader = false;

    bool operator==(const LogReaderState&) const = default;
};

class LogReader {
public:
    explicit LogReader(LogReaderOptions options = {});

    enum class Line { kEmpty, kHeader, kRecord, kSkipped };

    // One line without its line end (a trailing CR is ignored).
    Line Read(std::string_view line, LogRecord& record);

    const LogReadStats& Stats() const { return stats_; }
    const LogReaderState& State() const { return state_; }
    void SetState(const LogReaderState& state) { state_ = state; }

private:
    bool ReadHeader(std::string_view line);
    bool ReadRecord(std::string_view line, LogRecord& record);
    std::size_t ReadDate(std::string_view text, LogCivilTime& civil);
    std::size_t ParseDate(std::string_view text, LogCivilTime& civil);
    bool ReadValues(std::string_view text, LogRecord& record, char separator) const;

    LogReaderOptions options_;
    std::vector<LogDateLayout> candidates_;  // loaded on first need
    bool candidatesLoaded_ = false;
    LogReaderState state_;
    LogReadStats stats_;
    LocalTimeConverter clock_;
    LogDateCache dates_;
    LogClockPlaces places_;  // of the date parsed last
    int64_t lastTime_ = INT64_MIN;
};

// Progress of a file read: bytes done of the total; false stops the read.
using LogReadProgress = std::function<bool(uint64_t done, uint64_t total)>;

// Where a reading was read: the file's index in the list, the byte offset of
// its line in that file and the reader's state, from which the line reads again.
struct LogRecordPlace {
    std::size_t file = 0;
    uint64_t offset = 0;
    const LogReaderState* state = nullptr;
};
using LogRecordSink = std::function<void(const LogRecord& record, const LogRecordPlace& place)>;

struct LogReadResult {
    LogReadStats stats;
    std::vector<std::string> unreadable;  // files that could not be opened
    bool cancelled = false;
};

// Reads the files in order as one series.
LogReadResult ReadLogFiles(const std::vector<std::string>& paths, const LogRecordSink& sink,
                           const LogReadProgress& progress = nullptr,
                           const LogReaderOptions& options = {});

// Reads from `offset` of one file, from reader state `state`, until `sink`
// returns false or the file ends; each line's offset comes with it.
void ReadLogRange(const std::string& path, uint64_t offset, LogReader& reader,
                  const std::function<bool(const LogRecord&, uint64_t offset)>& sink);

}  // namespace tk358
