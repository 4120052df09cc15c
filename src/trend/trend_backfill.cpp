// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_backfill.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "log/log_reader.h"

namespace tk358 {

namespace {

// The lines of the last `seconds` before `now`, read from as far before the
// end as needed; the reader first takes the file's first header.
std::vector<LogRecord> TailRecords(const std::string& path, int64_t now, int64_t seconds,
                                   bool& setpoint2Differs) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {};
    }
    const auto size = static_cast<uint64_t>(st.st_size);
    std::vector<LogRecord> records;
    // A day of one-second lines takes about 4 MB.
    for (uint64_t tail = 4u << 20;; tail *= 2) {
        LogReader reader;
        ReadLogRange(path, 0, reader, [](const LogRecord&, uint64_t) { return false; });
        const uint64_t from = size > tail ? size - tail : 0;
        records.clear();
        ReadLogRange(path, from, reader, [&](const LogRecord& r, uint64_t) {
            if (r.time > now - seconds && r.time <= now &&
                (records.empty() || r.time > records.back().time)) {
                records.push_back(r);
            }
            return true;
        });
        setpoint2Differs = reader.Stats().setpoint2Differs;
        const bool enough = !records.empty() && records.front().time <= now - seconds + 60;
        if (from == 0 || enough || tail >= (256u << 20)) {
            return records;
        }
    }
}

// The most common step between lines, at most an hour.
int64_t UsualStep(const std::vector<LogRecord>& records) {
    std::map<int64_t, int> counts;
    int64_t usual = 1;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const int64_t step = records[i].time - records[i - 1].time;
        if (step <= 3600 && ++counts[step] > counts[usual]) {
            usual = step;
        }
    }
    return usual;
}

TrendValues ValuesOf(const LogRecord& r, bool setpoint2) {
    TrendValues v;
    for (std::size_t c = 0; c < v.size(); ++c) {
        if (!std::isnan(r.values[c]) && (c != kLogSetpoint2 || setpoint2)) {
            v[c] = static_cast<double>(r.values[c]);
        }
    }
    return v;
}

}  // namespace

BackfillResult BackfillFromLog(TrendRecorder& recorder, const std::string& path, int64_t now,
                               int64_t seconds) {
    BackfillResult result;
    bool setpoint2 = false;
    const std::vector<LogRecord> records = TailRecords(path, now, seconds, setpoint2);
    const double join = 1.5 * static_cast<double>(UsualStep(records)) + 1.0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TrendValues values = ValuesOf(records[i], setpoint2);
        const int64_t next = i + 1 < records.size() ? records[i + 1].time : records[i].time + 1;
        const bool held = static_cast<double>(next - records[i].time) <= join;
        const int64_t until = held ? next : records[i].time + 1;
        for (int64_t t = records[i].time; t < until; ++t) {
            result.samples += recorder.Prefill(t, values) ? 1 : 0;
        }
        if (!held && recorder.Prefill(records[i].time + 1, TrendValues{})) {
            ++result.samples;  // the curve breaks where lines are missing
        }
        ++result.lines;
    }
    return result;
}

}  // namespace tk358
