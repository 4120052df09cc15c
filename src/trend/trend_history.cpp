// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/trend_history.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace tk358 {

namespace {

constexpr int16_t kNone = std::numeric_limits<int16_t>::min();
constexpr int64_t kLongestCountedStep = 3600;
// A view showing fewer blocks than a third of its pixel columns reads lines.
constexpr std::size_t kColumnsPerBlock = 3;

int16_t Tenths(float value) {
    if (std::isnan(value)) {
        return kNone;
    }
    return static_cast<int16_t>(std::clamp(std::lround(value * 10.0f), -32767L, 32767L));
}

float FromTenths(int16_t tenths) {
    return tenths == kNone ? kLogNoValue : static_cast<float>(tenths) / 10.0f;
}

// The point after the view that the last point in it joins, if `p` is that.
std::optional<TrendEdgePoint> LeadOut(const TrendEdgePoint& previous, const TrendEdgePoint& p,
                                      double end) {
    if (p.time > end && previous.time <= end) {
        return p;
    }
    return std::nullopt;
}

std::size_t ColumnOf(double time, double start, double width, std::size_t columns) {
    const double offset = std::floor((time - start) / width);
    return static_cast<std::size_t>(std::clamp(offset, 0.0, static_cast<double>(columns - 1)));
}

}  // namespace

TrendHistory::TrendHistory(std::vector<std::string> files, LogReaderOptions options)
    : files_(std::move(files)), options_(std::move(options)), intervals_(kLongestCountedStep + 1) {}

LogReadResult TrendHistory::Load(const LogReadProgress& progress) {
    uint64_t bytes = 0;
    for (const std::string& path : files_) {
        struct stat st {};
        bytes += ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    }
    // About 37 bytes a line: reserved once, so the blocks are not copied as
    // they grow.
    blocks_.reserve(static_cast<std::size_t>(bytes / 30 / kBlockLines + 16));
    result_ = ReadLogFiles(
        files_, [this](const LogRecord& r, const LogRecordPlace& place) { Add(r, place); },
        progress, options_);
    blocks_.shrink_to_fit();
    return result_;
}

double TrendHistory::JoinSeconds() const {
    return 1.5 * static_cast<double>(usualInterval_) + 1.0;
}

void TrendHistory::CountInterval(int64_t step) {
    if (step <= 0 || step > kLongestCountedStep) {
        return;
    }
    const auto index = static_cast<std::size_t>(step);
    if (++intervals_[index] > intervals_[static_cast<std::size_t>(usualInterval_)]) {
        usualInterval_ = step;
    }
}

uint16_t TrendHistory::StateIndex(const LogReaderState& state) {
    if (states_.empty() || !(states_.back() == state)) {
        states_.push_back(state);
    }
    return static_cast<uint16_t>(std::min<std::size_t>(states_.size() - 1, 65535));
}

bool TrendHistory::StartsBlock(const LogRecord& record, const LogRecordPlace& place,
                               uint16_t state) const {
    if (blocks_.empty()) {
        return true;
    }
    const Block& b = blocks_.back();
    const int64_t step = record.time - b.last;
    return b.lines >= kBlockLines || b.file != place.file || b.state != state || step < 0 ||
           static_cast<double>(step) > JoinSeconds();
}

void TrendHistory::Add(const LogRecord& record, const LogRecordPlace& place) {
    const uint16_t state = place.state != nullptr ? StateIndex(*place.state) : 0;
    if (records_ > 0) {
        CountInterval(record.time - previousTime_);
    }
    if (StartsBlock(record, place, state)) {
        Block b;
        b.first = record.time;
        b.offset = place.offset;
        b.file = static_cast<uint16_t>(place.file);
        b.state = state;
        b.joinsPrevious = !blocks_.empty() && blocks_.back().file == b.file &&
                          record.time >= previousTime_ &&
                          static_cast<double>(record.time - previousTime_) <= JoinSeconds();
        b.min.fill(kNone);
        b.max.fill(kNone);
        b.firstValue.fill(kNone);
        b.lastValue.fill(kNone);
        for (std::size_t c = 0; c < kLogColumnCount; ++c) {
            b.firstValue[c] = Tenths(record.values[c]);
        }
        blocks_.push_back(b);
    }
    AddToBlock(blocks_.back(), record);
    oldest_ = records_ == 0 ? record.time : std::min(oldest_, record.time);
    newest_ = records_ == 0 ? record.time : std::max(newest_, record.time);
    previousTime_ = record.time;
    ++records_;
}

void TrendHistory::AddToBlock(Block& b, const LogRecord& record) {
    b.last = record.time;
    ++b.lines;
    for (std::size_t c = 0; c < kLogColumnCount; ++c) {
        const int16_t v = Tenths(record.values[c]);
        b.lastValue[c] = v;
        if (v != kNone) {
            b.min[c] = b.min[c] == kNone ? v : std::min(b.min[c], v);
            b.max[c] = b.max[c] == kNone ? v : std::max(b.max[c], v);
            ++valueCounts_[c];
        }
    }
}

bool TrendHistory::HasValues(int curve) const {
    if (curve < 0 || curve >= kLogColumnCount) {
        return false;
    }
    if (curve == kLogSetpoint2 && !result_.stats.setpoint2Differs) {
        return false;
    }
    return valueCounts_[static_cast<std::size_t>(curve)] > 0;
}

std::vector<std::size_t> TrendHistory::BlocksIn(double start, double end) const {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        const Block& b = blocks_[i];
        if (static_cast<double>(b.last) >= start && static_cast<double>(b.first) <= end) {
            out.push_back(i);
        }
    }
    return out;
}

std::vector<TrendHistory::Point> TrendHistory::BlockPoints(
    int curve, const std::vector<std::size_t>& blocks) const {
    std::vector<Point> points;
    points.reserve(blocks.size() * 4);
    const auto c = static_cast<std::size_t>(curve);
    std::size_t previous = std::numeric_limits<std::size_t>::max();
    for (std::size_t i : blocks) {
        const Block& b = blocks_[i];
        const bool runsOn =
            previous + 1 == i && b.joinsPrevious && blocks_[previous].lastValue[c] != kNone;
        previous = i;
        if (b.min[c] == kNone) {
            continue;
        }
        const double middle = 0.5 * static_cast<double>(b.first + b.last);
        const bool firstKnown = b.firstValue[c] != kNone;
        if (firstKnown) {
            points.push_back({static_cast<double>(b.first), FromTenths(b.firstValue[c]), runsOn});
        }
        points.push_back({middle, FromTenths(b.min[c]), firstKnown});
        points.push_back({middle, FromTenths(b.max[c]), true});
        if (b.lastValue[c] != kNone) {
            points.push_back({static_cast<double>(b.last), FromTenths(b.lastValue[c]), true});
        } else {
            points.push_back({static_cast<double>(b.last), kLogNoValue, false});
        }
    }
    return points;
}

void TrendHistory::ReadLines(std::size_t first, std::size_t last,
                             std::vector<LogRecord>& out) const {
    while (first < last) {
        // The blocks of one file read on in one pass from the first one.
        const Block& b = blocks_[first];
        uint64_t left = 0;
        std::size_t next = first;
        while (next < last && blocks_[next].file == b.file) {
            left += blocks_[next++].lines;
        }
        LogReader reader(options_);
        reader.SetState(states_.empty() ? LogReaderState{} : states_[b.state]);
        ReadLogRange(files_[b.file], b.offset, reader, [&](const LogRecord& r, uint64_t) {
            out.push_back(r);
            return --left > 0;
        });
        first = next;
    }
}

const std::vector<LogRecord>& TrendHistory::Reread(std::size_t first, std::size_t last) const {
    if (first < cachedFirst_ || last > cachedLast_ || cached_.empty()) {
        // Read a wider stretch than asked, so panning reads seldom.
        const std::size_t wider = last - first;
        cachedFirst_ = first > wider ? first - wider : 0;
        cachedLast_ = std::min(blocks_.size(), last + wider);
        cached_.clear();
        ReadLines(cachedFirst_, cachedLast_, cached_);
    }
    return cached_;
}

std::vector<TrendHistory::Point> TrendHistory::LinePoints(
    int curve, const std::vector<std::size_t>& blocks) const {
    std::vector<Point> points;
    if (blocks.empty()) {
        return points;
    }
    const std::vector<LogRecord>& lines = Reread(blocks.front(), blocks.back() + 1);
    const auto c = static_cast<std::size_t>(curve);
    points.reserve(lines.size());
    const LogRecord* previous = nullptr;
    for (const LogRecord& r : lines) {
        const bool joins = previous != nullptr && !std::isnan(previous->values[c]) &&
                           r.time >= previous->time &&
                           static_cast<double>(r.time - previous->time) <= JoinSeconds();
        points.push_back({static_cast<double>(r.time), r.values[c], joins});
        previous = &r;
    }
    return points;
}

void TrendHistory::DecimatePoints(const std::vector<Point>& points, DecimatedCurve& out) {
    const double width = (out.end - out.start) / static_cast<double>(out.columns.size());
    std::optional<TrendEdgePoint> previous;
    bool anyInside = false;
    for (const Point& p : points) {
        const bool known = !std::isnan(p.value);
        const bool joins = known && p.joins && previous && p.time >= previous->time;
        const bool inside = p.time >= out.start && p.time <= out.end;
        if (known && inside) {
            if (!anyInside && joins && previous->time < out.start) {
                out.leadIn = previous;
            }
            anyInside = true;
            AddToColumn(out.columns[ColumnOf(p.time, out.start, width, out.columns.size())],
                        p.value, joins);
        } else if (joins && anyInside && !out.leadOut) {
            out.leadOut = LeadOut(*previous, TrendEdgePoint{p.time, p.value}, out.end);
        }
        previous =
            known ? std::optional<TrendEdgePoint>(TrendEdgePoint{p.time, p.value}) : std::nullopt;
    }
}

DecimatedCurve TrendHistory::Decimate(int curve, double start, double end, int columns) const {
    DecimatedCurve out;
    out.start = start;
    out.end = end;
    out.columns.resize(static_cast<std::size_t>(std::max(columns, 1)));
    if (!HasValues(curve) || !(end > start)) {
        return out;
    }
    const double reach = JoinSeconds();
    const std::vector<std::size_t> blocks = BlocksIn(start - reach, end + reach);
    const bool coarse = blocks.size() * kColumnsPerBlock >= out.columns.size();
    DecimatePoints(coarse ? BlockPoints(curve, blocks) : LinePoints(curve, blocks), out);
    return out;
}

std::optional<TrendReadout> TrendHistory::Readout(double time, double reach) const {
    std::optional<TrendReadout> best;
    double bestDistance = reach;
    for (std::size_t i : BlocksIn(time - reach, time + reach)) {
        std::vector<LogRecord> lines;
        ReadLines(i, i + 1, lines);
        for (const LogRecord& r : lines) {
            const double distance = std::abs(static_cast<double>(r.time) - time);
            if (distance <= bestDistance) {
                bestDistance = distance;
                best = TrendReadout{r.time, {}};
                for (int c = 0; c < kTrendCurves; ++c) {
                    const float v = r.values[static_cast<std::size_t>(c)];
                    if (!std::isnan(v) && HasValues(c)) {
                        best->values[static_cast<std::size_t>(c)] = v;
                    }
                }
            }
        }
    }
    return best;
}

void TrendHistory::ForEachRecord(double start, double end,
                                 const std::function<void(const LogRecord&)>& visit) const {
    const std::vector<std::size_t> blocks = BlocksIn(start, end);
    constexpr std::size_t kBatch = 4096;  // blocks read at once
    std::vector<LogRecord> lines;
    for (std::size_t at = 0; at < blocks.size();) {
        // A run of consecutive blocks, at most a batch.
        std::size_t next = at + 1;
        while (next < blocks.size() && next - at < kBatch && blocks[next] == blocks[next - 1] + 1) {
            ++next;
        }
        lines.clear();
        ReadLines(blocks[at], blocks[next - 1] + 1, lines);
        for (const LogRecord& r : lines) {
            const auto t = static_cast<double>(r.time);
            if (t >= start && t <= end) {
                visit(r);
            }
        }
        at = next;
    }
}

std::optional<int64_t> ParseLocalTimeArgument(const std::string& text) {
    for (const char* format : {"%Y-%m-%d %H:%M:%S", "%Y-%m-%dT%H:%M:%S", "%Y-%m-%d %H:%M",
                               "%Y-%m-%dT%H:%M", "%Y-%m-%d"}) {
        LogCivilTime civil;
        if (LogDateLayout::ForFormat(format).Parse(text, civil) == text.size() && !text.empty()) {
            return LocalTimeConverter().ToUtc(civil);
        }
    }
    return std::nullopt;
}

}  // namespace tk358
