// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The measurement log as the main window drives it: the open file, the line
// builder's header state and whether writing currently fails. Timers, message
// boxes and the setup dialog stay with the window; this decides what goes into
// the file and tells the window what to show.

#include <memory>
#include <string>
#include <string_view>

#include "log/log_file.h"
#include "log/log_line.h"
#include "log/log_write_health.h"

namespace tk358 {

struct LogWriteOutcome {
    int error = 0;  // errno of a failed write, 0 when written
    LogWriteHealth::Change change = LogWriteHealth::Change::kNone;
};

class MeasurementLog {
public:
    explicit MeasurementLog(LogEnvironment environment = UserLogEnvironment(),
                            std::shared_ptr<LogFileOps> ops = nullptr);

    // Opens the file for appending (closing any other first). Used as it is
    // for the start-up open; the setup dialog's open continues with
    // BeginFromDialog.
    LogOpenResult Open(const std::string& path);
    bool IsOpen() const { return file_.IsOpen(); }
    const std::string& Path() const { return file_.Path(); }

    // After an open from the setup dialog: empties an existing file unless
    // its contents are kept, makes the next line carry the header, and writes
    // the comment when one is asked for (after an empty line when appending).
    LogWriteOutcome BeginFromDialog(bool existed, bool keepContents, bool commentOn,
                                    std::string_view comment);

    // Appends one line; does nothing when no file is open.
    LogWriteOutcome WriteLine(const LogLineOptions& options, const LogReadings& readings);

    // True from a failed write until a line is written again: the status line
    // leaves out its logging note meanwhile.
    bool WriteFailing() const { return health_.Failing(); }

    void Close();

private:
    LogWriteOutcome Report(int error);

    LogFile file_;
    LogLineBuilder builder_;
    LogWriteHealth health_;
    std::string lastPath_;  // the file the last lines went to
};

}  // namespace tk358
