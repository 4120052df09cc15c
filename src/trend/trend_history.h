// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Measurement logs opened in the chart. A year of lines is far more than a
// chart can show, so the history keeps blocks of up to 64 consecutive lines,
// each with its time span, its place in the file and per curve the lowest,
// highest, first and last value. A view so close that a block covers more
// than a pixel column or two reads its lines again from the file.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "log/log_reader.h"
#include "trend/trend_source.h"

namespace tk358 {

class TrendHistory final : public TrendSource {
public:
    static constexpr uint32_t kBlockLines = 64;

    explicit TrendHistory(std::vector<std::string> files = {}, LogReaderOptions options = {});

    // Reads the files; `progress` may stop it (then the history holds what was
    // read so far and the result says cancelled).
    LogReadResult Load(const LogReadProgress& progress = nullptr);
    // Adds one reading, as Load does for each line it reads.
    void Add(const LogRecord& record, const LogRecordPlace& place);

    const std::vector<std::string>& Files() const { return files_; }
    const LogReadResult& Result() const { return result_; }
    uint64_t Records() const { return records_; }
    std::size_t Blocks() const { return blocks_.size(); }
    // Lines further apart than this are not joined: one and a half of the
    // log's usual interval, and a second more for the clock's rounding.
    double JoinSeconds() const;

    bool Empty() const override { return records_ == 0; }
    double OldestTime() const override { return static_cast<double>(oldest_); }
    double NewestTime() const override { return static_cast<double>(newest_); }
    // The second set point only when it differs from the first somewhere.
    bool HasValues(int curve) const override;
    DecimatedCurve Decimate(int curve, double start, double end, int columns) const override;
    std::optional<TrendReadout> Readout(double time, double reach) const override;

    // Every reading of [start, end], in the files' order.
    void ForEachRecord(double start, double end,
                       const std::function<void(const LogRecord&)>& visit) const;

private:
    struct Block {
        int64_t first = 0;  // time of the first and the last line
        int64_t last = 0;
        uint64_t offset = 0;  // of the first line in its file
        uint32_t lines = 0;
        uint16_t file = 0;
        uint16_t state = 0;                          // index into states_
        bool joinsPrevious = false;                  // runs on from the block before
        std::array<int16_t, kLogColumnCount> min{};  // tenths of °C
        std::array<int16_t, kLogColumnCount> max{};
        std::array<int16_t, kLogColumnCount> firstValue{};
        std::array<int16_t, kLogColumnCount> lastValue{};
    };
    struct Point {
        double time = 0.0;
        float value = 0.0f;  // NaN: a gap
        bool joins = false;  // a line runs to it from the point before
    };
    bool StartsBlock(const LogRecord& record, const LogRecordPlace& place, uint16_t state) const;
    uint16_t StateIndex(const LogReaderState& state);
    void AddToBlock(Block& block, const LogRecord& record);
    // The blocks whose time span meets [start, end].
    std::vector<std::size_t> BlocksIn(double start, double end) const;
    std::vector<Point> BlockPoints(int curve, const std::vector<std::size_t>& blocks) const;
    std::vector<Point> LinePoints(int curve, const std::vector<std::size_t>& blocks) const;
    // The points into the columns of `out`, whose range and width are set.
    static void DecimatePoints(const std::vector<Point>& points, DecimatedCurve& out);
    // The lines of a run of consecutive blocks, read again from the file.
    const std::vector<LogRecord>& Reread(std::size_t first, std::size_t last) const;
    // The lines of blocks [first, last), read again from the files.
    void ReadLines(std::size_t first, std::size_t last, std::vector<LogRecord>& out) const;
    void CountInterval(int64_t step);

    std::vector<std::string> files_;
    LogReaderOptions options_;
    LogReadResult result_;
    std::vector<Block> blocks_;
    std::vector<LogReaderState> states_;
    std::array<uint64_t, kLogColumnCount> valueCounts_{};
    uint64_t records_ = 0;
    int64_t oldest_ = 0;
    int64_t newest_ = 0;
    int64_t previousTime_ = 0;
    std::vector<uint32_t> intervals_;  // how often each step of 1..3600 s occurs
    int64_t usualInterval_ = 1;
    // The lines read again last, blocks [cachedFirst_, cachedLast_).
    mutable std::size_t cachedFirst_ = 0;
    mutable std::size_t cachedLast_ = 0;
    mutable std::vector<LogRecord> cached_;
};

// Seconds since the epoch of a local time given as "2026-12-08 06:00",
// "2026-12-08 06:00:00", "2026-12-08" or in ISO 8601 ("2026-12-08T06:00").
std::optional<int64_t> ParseLocalTimeArgument(const std::string& text);

}  // namespace tk358
