// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// tk358d's measurement log: one file, or with a dated name (see
// log_name_pattern.h) a new file with its header whenever the name expands
// differently, and the pattern's files older than the days kept deleted.
// A file that cannot be opened or written is reported once and tried again
// with every line, so logging resumes by itself once the disk has room.

#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "daemon/daemon_log.h"
#include "log/log_name_pattern.h"
#include "log/log_write_health.h"
#include "log/measurement_log.h"

namespace tk358 {

class RotatingLog {
public:
    using TimeSource = std::function<std::time_t()>;

    // `now` defaults to the system clock; `ops` to the real file calls.
    explicit RotatingLog(const DaemonLog& log, TimeSource now = nullptr,
                         std::shared_ptr<LogFileOps> ops = nullptr);
    RotatingLog(const RotatingLog&) = delete;
    RotatingLog& operator=(const RotatingLog&) = delete;

    // Takes new settings (nothing: no log); `keepDays` 0 keeps every file.
    // The open file stays open until the next Open or line.
    void Configure(std::optional<LogNamePattern> pattern, int keepDays);
    bool Enabled() const { return pattern_.has_value(); }

    // Opens the file of the current time (again, when it is open: an outside
    // rotation may have moved it) and deletes the expired files. False, and
    // reported, when it cannot be opened.
    bool Open();

    // Appends a line to the file of the current time.
    void WriteLine(const LogLineOptions& options, const LogReadings& readings);

    void Close();
    // Why the last open or line failed, on one line; empty while writing
    // works (and with no log).
    const std::string& Failure() const { return failure_; }
    // The open file; empty when none is.
    const std::string& Path() const { return file_.Path(); }

private:
    bool OpenFile(const std::string& path);
    void DeleteExpired();
    void Record(int error, const std::string& text);
    void RemoveIfEmpty(const std::string& path);

    const DaemonLog& log_;
    TimeSource now_;
    std::time_t lineTime_ = 0;  // the time of the line being written
    MeasurementLog file_;
    LogWriteHealth health_;  // over files: a full disk is reported once
    std::optional<LogNamePattern> pattern_;
    int keepDays_ = 0;
    std::string unusedFile_;  // created by this log, no line written to it yet
    std::string failure_;
};

}  // namespace tk358
