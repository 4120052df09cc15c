// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The date and time text of a measurement log line, read back. The log writes
// "%c" of whatever locale the writing program ran under; the layout is learned
// once from a line (the environment's locale, then Polish, then C, then
// ISO 8601) and every further line is read by that layout without the C
// library's slow per-line parsing.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk358 {

// Local calendar time as written, before the time zone is applied.
struct LogCivilTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool pm = false;      // a 12-hour clock's afternoon mark was read
    bool twelve = false;  // the hour is on a 12-hour clock
    bool zoned = false;   // the offset from UTC was written with the time
    int offset = 0;       // that offset, seconds east of UTC
};

// Where the clock's hour, minute and second stood in a date text, each as two
// digits; npos where not (a 12-hour clock counts as none).
struct LogClockPlaces {
    static constexpr std::size_t npos = std::string_view::npos;
    std::size_t hour = npos;
    std::size_t minute = npos;
    std::size_t second = npos;

    void Note(char conversion, std::size_t begin, std::size_t end);
    bool Usable() const;
};

class LogDateLayout {
public:
    // The layout of `format` (strftime conversions) with the names of the
    // named locale ("" the environment's); nothing when the locale is unknown.
    static std::optional<LogDateLayout> ForLocale(const char* localeName);
    // A layout of the given format with the C locale's names.
    static LogDateLayout ForFormat(std::string_view format);

    // Reads the date and time at the start of `text`; returns the number of
    // bytes read, 0 when the text does not fit the layout.
    std::size_t Parse(std::string_view text, LogCivilTime& out,
                      LogClockPlaces* places = nullptr) const;

    const std::string& Format() const { return format_; }

private:
    // One step of the layout: a conversion or a run of literal text.
    struct Step {
        char conversion = 0;  // 0: literal
        std::string literal;
    };
    void Compile(std::string_view format);
    bool ParseStep(const Step& step, std::string_view text, std::size_t& at,
                   LogCivilTime& out) const;
    bool ParseName(const std::array<std::string, 12>& names, std::size_t count,
                   std::string_view text, std::size_t& at, int& index) const;

    std::string format_;
    std::vector<Step> steps_;
    std::array<std::string, 12> months_;      // abbreviated
    std::array<std::string, 12> longMonths_;  // full
    std::array<std::string, 2> amPm_;
};

// The candidate layouts in the order they are tried on a line that no layout
// read yet: the named locales, then ISO 8601 with a 'T' and the offset from
// UTC, with a 'T' and with a space.
std::vector<LogDateLayout> LogDateCandidates(const std::vector<std::string>& locales);

// The last date read, so that the next one, which mostly differs from it only
// in the clock's digits, is read by comparing bytes: the fast path of a log.
class LogDateCache {
public:
    // The length of the date at the start of `text` when it is the remembered
    // one but for the clock's digits; 0 otherwise.
    std::size_t Read(std::string_view text, LogCivilTime& out) const;
    void Remember(std::string_view text, std::size_t length, const LogCivilTime& civil,
                  const LogClockPlaces& places);

private:
    std::string text_;  // the date alone
    LogCivilTime civil_;
    LogClockPlaces places_;
};

// Seconds since the epoch (UTC) of a local calendar time in the process's
// time zone. The zone's offset is looked up once per hour of local time, so
// reading a long file costs few zone look-ups.
class LocalTimeConverter {
public:
    std::optional<int64_t> ToUtc(const LogCivilTime& civil);

private:
    int64_t cachedHour_ = INT64_MIN;  // local hours since the epoch
    int64_t cachedOffset_ = 0;        // seconds east of UTC in that hour
};

}  // namespace tk358
