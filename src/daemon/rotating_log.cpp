// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/rotating_log.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <utility>

#include "log/locale_format.h"
#include "log/log_messages.h"

namespace tk358 {

namespace {

std::string PathFor(const LogNamePattern& pattern, std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return pattern.Expand(local);
}

}  // namespace

RotatingLog::RotatingLog(const DaemonLog& log, TimeSource now, std::shared_ptr<LogFileOps> ops)
    : log_(log),
      now_(now ? std::move(now) : [] { return std::time(nullptr); }),
      file_(LogEnvironment{[] { return UserDecimalSign(); },
                           [this] { return FormatLocalDateTime(lineTime_); },
                           [this] { return FormatIsoDateTime(lineTime_); }},
            std::move(ops)) {}

void RotatingLog::Configure(std::optional<LogNamePattern> pattern, int keepDays) {
    pattern_ = std::move(pattern);
    keepDays_ = keepDays;
    if (!pattern_) {
        Close();
        failure_.clear();
    }
}

bool RotatingLog::Open() {
    if (!pattern_) {
        return true;
    }
    lineTime_ = now_();
    file_.Close();
    const bool opened = OpenFile(PathFor(*pattern_, lineTime_));
    DeleteExpired();
    return opened;
}

void RotatingLog::WriteLine(const LogLineOptions& options, const LogReadings& readings) {
    if (!pattern_) {
        return;
    }
    lineTime_ = now_();
    const std::string path = PathFor(*pattern_, lineTime_);
    if (!file_.IsOpen() || file_.Path() != path) {
        if (!OpenFile(path)) {
            return;
        }
        DeleteExpired();
    }
    const LogWriteOutcome outcome = file_.WriteLine(options, readings);
    if (outcome.error == 0) {
        unusedFile_.clear();
    }
    Record(outcome.error, outcome.error != 0 ? LogWriteFailureText(outcome.error) : "");
}

bool RotatingLog::OpenFile(const std::string& path) {
    const std::string previous = std::exchange(unusedFile_, {});
    const LogOpenResult opened = file_.Open(path);
    if (previous != path) {
        RemoveIfEmpty(previous);
    }
    if (!opened.ok()) {
        Record(opened.error, LogOpenFailureText(opened.error) + " " + path + " (" +
                                 std::strerror(opened.error) + ")");
        return false;
    }
    if (!opened.existed) {
        unusedFile_ = path;
    }
    return true;
}

void RotatingLog::Close() {
    file_.Close();
    RemoveIfEmpty(std::exchange(unusedFile_, {}));
}

// A file opened ahead of its first line whose name changed before that line
// came (a start just before midnight) would stay behind empty.
void RotatingLog::RemoveIfEmpty(const std::string& path) {
    std::error_code error;
    if (!path.empty() && std::filesystem::file_size(path, error) == 0 && !error) {
        std::filesystem::remove(path, error);
    }
}

void RotatingLog::Record(int error, const std::string& text) {
    failure_ = text;
    std::replace(failure_.begin(), failure_.end(), '\n', ' ');
    switch (health_.Record(error)) {
        case LogWriteHealth::Change::kFailed:
            log_.Error(text);
            break;
        case LogWriteHealth::Change::kRecovered:
            log_.Info("zapis do pliku rejestracji znów się udaje");
            break;
        case LogWriteHealth::Change::kNone:
            break;
    }
}

void RotatingLog::DeleteExpired() {
    if (keepDays_ <= 0 || !pattern_->Dated()) {
        return;
    }
    for (const std::string& path : ExpiredLogFiles(*pattern_, keepDays_, lineTime_)) {
        if (path == file_.Path()) {
            continue;
        }
        std::error_code error;
        if (std::filesystem::remove(path, error)) {
            log_.Info("usunięty stary plik rejestracji " + path);
        } else if (error) {
            log_.Warning("nie można usunąć starego pliku rejestracji " + path + ": " +
                         error.message());
        }
    }
}

}  // namespace tk358
