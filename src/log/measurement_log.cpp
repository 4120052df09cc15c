// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/measurement_log.h"

#include <utility>

namespace tk358 {

MeasurementLog::MeasurementLog(LogEnvironment environment, std::shared_ptr<LogFileOps> ops)
    : file_(std::move(ops)), builder_(std::move(environment)) {}

LogOpenResult MeasurementLog::Open(const std::string& path) {
    Close();
    LogOpenResult result = file_.Open(path);
    if (!result.ok()) {
        return result;
    }
    // The last line of a file is known only when this file was the one
    // written last; any other file gets its header.
    if (!result.existed || path != lastPath_) {
        builder_.StartNewFile();
    }
    lastPath_ = path;
    return result;
}

LogWriteOutcome MeasurementLog::BeginFromDialog(bool existed, bool keepContents, bool commentOn,
                                                std::string_view comment) {
    if (!file_.IsOpen()) {
        return {};
    }
    const bool appending = existed && keepContents;
    if (existed && !keepContents) {
        if (int error = file_.Truncate(); error != 0) {
            return Report(error);
        }
    }
    if (appending) {
        builder_.ResetHeader();
    } else {
        builder_.StartNewFile();
    }
    if (!commentOn) {
        return {};
    }
    std::string text = BuildLogComment(comment, appending);
    if (text.empty()) {
        return {};
    }
    // Whatever stood before, the comment now does: the header follows it.
    builder_.StartNewFile();
    return Report(file_.Append(text));
}

LogWriteOutcome MeasurementLog::WriteLine(const LogLineOptions& options,
                                          const LogReadings& readings) {
    if (!file_.IsOpen()) {
        return {};
    }
    LogLine line = builder_.Build(options, readings);
    LogWriteOutcome outcome = Report(file_.Append(line.text));
    if (outcome.error == 0) {
        builder_.Written(line);
    }
    return outcome;
}

void MeasurementLog::Close() {
    file_.Close();
    health_.Reset();
}

LogWriteOutcome MeasurementLog::Report(int error) {
    return {error, health_.Record(error)};
}

}  // namespace tk358
