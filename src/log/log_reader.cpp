// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <utility>

namespace tk358 {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kHeaderStart = "Data i Godzina";
constexpr std::string_view kFaulty = "???";
constexpr std::array<std::string_view, kLogColumnCount> kTitles = {
    "Temperatura °C", "Wartość zadana °C", "Wartość zadana 2 °C"};

bool IsSeparator(char c) {
    return c == '\t' || c == ';' || c == ',';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// "???" or an optional minus, digits, a decimal sign and one digit.
bool ReadValue(std::string_view text, std::size_t& at, float& out) {
    if (text.substr(at, kFaulty.size()) == kFaulty) {
        at += kFaulty.size();
        out = kLogNoValue;
        return true;
    }
    const bool negative = at < text.size() && text[at] == '-';
    at += negative ? 1 : 0;
    int64_t whole = 0;
    int digits = 0;
    while (at < text.size() && IsDigit(text[at]) && digits < 9) {
        whole = whole * 10 + (text[at++] - '0');
        ++digits;
    }
    if (digits == 0 || at + 1 >= text.size() + 0 || (text[at] != '.' && text[at] != ',') ||
        !IsDigit(text[at + 1])) {
        return false;
    }
    const int64_t tenths = whole * 10 + (text[at + 1] - '0');
    at += 2;
    out = static_cast<float>(static_cast<double>(negative ? -tenths : tenths) / 10.0);
    return true;
}

}  // namespace

LogReader::LogReader(LogReaderOptions options) : options_(std::move(options)) {}

LogReader::Line LogReader::Read(std::string_view line, LogRecord& record) {
    if (line.substr(0, kBom.size()) == kBom) {
        line.remove_prefix(kBom.size());
    }
    line = Trimmed(line);
    if (line.empty()) {
        return Line::kEmpty;
    }
    if (line.substr(0, kHeaderStart.size()) == kHeaderStart && ReadHeader(line)) {
        ++stats_.headers;
        return Line::kHeader;
    }
    if (ReadRecord(line, record)) {
        ++stats_.records;
        return Line::kRecord;
    }
    ++stats_.skipped;
    return Line::kSkipped;
}

bool LogReader::ReadHeader(std::string_view line) {
    line.remove_prefix(kHeaderStart.size());
    if (line.empty() || !IsSeparator(line[0])) {
        return false;
    }
    LogReaderState state = state_;
    state.separator = line[0];
    state.columns.fill(-1);
    state.count = 0;
    line.remove_prefix(1);
    while (state.count < kLogColumnCount) {
        const std::size_t end = line.find(state.separator);
        const std::string_view title = line.substr(0, end);
        int8_t curve = -1;
        for (std::size_t i = 0; i < kTitles.size(); ++i) {
            curve = title == kTitles[i] ? static_cast<int8_t>(i) : curve;
        }
        state.columns[static_cast<std::size_t>(state.count++)] = curve;
        if (end == std::string_view::npos) {
            break;
        }
        line.remove_prefix(end + 1);
    }
    state.fromHeader = true;
    state_ = state;
    return true;
}

std::size_t LogReader::ReadDate(std::string_view text, LogCivilTime& civil) {
    if (const std::size_t n = dates_.Read(text, civil)) {
        return n;
    }
    const std::size_t n = ParseDate(text, civil);
    if (n > 0) {
        dates_.Remember(text, n, civil, places_);
    }
    return n;
}

std::size_t LogReader::ParseDate(std::string_view text, LogCivilTime& civil) {
    places_ = LogClockPlaces{};
    if (!candidatesLoaded_) {
        candidates_ = LogDateCandidates(options_.locales);
        candidatesLoaded_ = true;
    }
    // The learned layout first: the fast path for all but the first line.
    if (state_.layout >= 0 && static_cast<std::size_t>(state_.layout) < candidates_.size()) {
        if (const std::size_t n =
                candidates_[static_cast<std::size_t>(state_.layout)].Parse(text, civil, &places_)) {
            return n;
        }
    }
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        if (const std::size_t n = candidates_[i].Parse(text, civil, &places_)) {
            state_.layout = static_cast<int>(i);
            return n;
        }
    }
    return 0;
}

bool LogReader::ReadRecord(std::string_view line, LogRecord& record) {
    std::string_view date = line;
    std::size_t after = 0;  // where the separator after the date stands
    if (line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        if (close == std::string_view::npos) {
            return false;
        }
        date = line.substr(1, close - 1);
        after = close + 1;
    }
    LogCivilTime civil;
    const std::size_t used = ReadDate(date, civil);
    if (used == 0 || (line[0] == '"' && used != date.size())) {
        return false;
    }
    after = line[0] == '"' ? after : used;
    // The separator may change without a new header when only the options
    // changed, so each line's own is taken.
    if (after >= line.size() || !IsSeparator(line[after])) {
        return false;
    }
    LogRecord out;
    if (!ReadValues(line.substr(after + 1), out, line[after])) {
        return false;
    }
    const std::optional<int64_t> time = clock_.ToUtc(civil);
    if (!time) {
        return false;
    }
    state_.separator = line[after];
    out.time = *time;
    stats_.backwards += out.time < lastTime_ ? 1 : 0;
    lastTime_ = out.time;
    const float sp = out.values[kLogSetpoint];
    const float sp2 = out.values[kLogSetpoint2];
    if (std::isnan(sp) != std::isnan(sp2) || (!std::isnan(sp) && sp != sp2)) {
        stats_.setpoint2Differs = true;
    }
    record = out;
    return true;
}

bool LogReader::ReadValues(std::string_view text, LogRecord& record, char separator) const {
    const int most = state_.fromHeader ? state_.count : kLogColumnCount;
    std::size_t at = 0;
    int count = 0;
    while (count < most) {
        float value = kLogNoValue;
        if (!ReadValue(text, at, value)) {
            return false;
        }
        const int8_t curve = state_.columns[static_cast<std::size_t>(count++)];
        if (curve >= 0) {
            record.values[static_cast<std::size_t>(curve)] = value;
        }
        if (at == text.size()) {
            break;
        }
        if (text[at] != separator) {
            return false;
        }
        ++at;
    }
    // All the header's columns, and nothing after them.
    return at == text.size() && (!state_.fromHeader || count == most);
}

namespace {

// Reads one file line by line from `offset`; `line` returns false to stop.
// Returns false when the file cannot be opened.
bool ForEachLine(const std::string& path, uint64_t offset,
                 const std::function<bool(std::string_view, uint64_t)>& line,
                 const std::function<bool(uint64_t)>& chunkRead = nullptr) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    constexpr std::size_t kChunk = 1 << 20;
    std::string buffer;
    buffer.reserve(kChunk * 2);
    uint64_t bufferStart = offset;  // file offset of buffer[0]
    std::vector<char> chunk(kChunk);
    bool go = true;
    while (go) {
        const ssize_t n =
            ::pread(fd, chunk.data(), kChunk, static_cast<off_t>(bufferStart + buffer.size()));
        if (n <= 0) {
            break;
        }
        buffer.append(chunk.data(), static_cast<std::size_t>(n));
        std::size_t start = 0;
        for (;;) {
            const void* found = std::memchr(buffer.data() + start, '\n', buffer.size() - start);
            if (found == nullptr) {
                break;
            }
            const auto end =
                static_cast<std::size_t>(static_cast<const char*>(found) - buffer.data());
            if (!line(std::string_view(buffer.data() + start, end - start), bufferStart + start)) {
                go = false;
                break;
            }
            start = end + 1;
        }
        buffer.erase(0, start);
        bufferStart += start;
        if (go && chunkRead && !chunkRead(bufferStart + buffer.size())) {
            go = false;
        }
    }
    if (go && !buffer.empty()) {
        line(buffer, bufferStart);  // a last line without its line end
    }
    ::close(fd);
    return true;
}

uint64_t FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

}  // namespace

LogReadResult ReadLogFiles(const std::vector<std::string>& paths, const LogRecordSink& sink,
                           const LogReadProgress& progress, const LogReaderOptions& options) {
    LogReadResult result;
    LogReader reader(options);
    uint64_t total = 0;
    for (const std::string& path : paths) {
        total += FileSize(path);
    }
    uint64_t before = 0;  // bytes of the files already read
    for (std::size_t file = 0; file < paths.size() && !result.cancelled; ++file) {
        LogRecord record;
        auto line = [&](std::string_view text, uint64_t offset) {
            if (reader.Read(text, record) == LogReader::Line::kRecord) {
                sink(record, LogRecordPlace{file, offset, &reader.State()});
            }
            return true;
        };
        auto chunk = [&](uint64_t done) {
            result.cancelled = progress && !progress(before + done, total);
            return !result.cancelled;
        };
        if (!ForEachLine(paths[file], 0, line, chunk)) {
            result.unreadable.push_back(paths[file]);
        }
        before += FileSize(paths[file]);
    }
    result.stats = reader.Stats();
    return result;
}

void ReadLogRange(const std::string& path, uint64_t offset, LogReader& reader,
                  const std::function<bool(const LogRecord&, uint64_t offset)>& sink) {
    LogRecord record;
    ForEachLine(path, offset, [&](std::string_view text, uint64_t at) {
        return reader.Read(text, record) != LogReader::Line::kRecord || sink(record, at);
    });
}

}  // namespace tk358
