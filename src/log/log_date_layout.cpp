// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_date_layout.h"

#include "log/civil_date.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstring>
#include <ctime>
#include <functional>

namespace tk358 {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Up to `most` digits (at least one) as a number.
bool ReadNumber(std::string_view text, std::size_t& at, int most, int& out) {
    int value = 0;
    int digits = 0;
    while (digits < most && at < text.size() && IsDigit(text[at])) {
        value = value * 10 + (text[at] - '0');
        ++at;
        ++digits;
    }
    out = value;
    return digits > 0;
}

// A day's name: letters in any script up to a space, a comma, a point or a
// digit. The names are not checked, as the date alone fixes the day.
bool SkipWord(std::string_view text, std::size_t& at) {
    const std::size_t begin = at;
    while (at < text.size()) {
        const char c = text[at];
        if (IsSpace(c) || c == ',' || c == '.' || c == ';' || IsDigit(c) || c == '"') {
            break;
        }
        ++at;
    }
    return at > begin;
}

// The format with %c, %x, %X, %r and their relatives spelled out.
std::string Expand(std::string_view format, const std::function<std::string(char)>& composite,
                   int depth = 0) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        std::size_t j = i + 1;
        while (j < format.size() &&
               (format[j] == '-' || format[j] == '_' || format[j] == '0' || format[j] == '^' ||
                format[j] == '#' || format[j] == 'E' || format[j] == 'O')) {
            ++j;
        }
        if (j >= format.size()) {
            break;
        }
        const std::string inner = depth < 3 ? composite(format[j]) : std::string();
        if (!inner.empty()) {
            out += Expand(inner, composite, depth + 1);
        } else {
            out += '%';
            out += format[j];
        }
        i = j;
    }
    return out;
}

std::string CComposite(char conversion) {
    switch (conversion) {
        case 'c':
            return "%a %b %e %H:%M:%S %Y";
        case 'x':
        case 'D':
            return "%m/%d/%y";
        case 'X':
        case 'T':
            return "%H:%M:%S";
        case 'r':
            return "%I:%M:%S %p";
        case 'R':
            return "%H:%M";
        case 'F':
            return "%Y-%m-%d";
        default:
            return std::string();
    }
}

// The offset from UTC: "Z", or a sign with hours and minutes (+hh, +hhmm or
// +hh:mm).
bool ParseOffset(std::string_view text, std::size_t& at, LogCivilTime& out) {
    if (at < text.size() && text[at] == 'Z') {
        ++at;
        out.zoned = true;
        out.offset = 0;
        return true;
    }
    if (at >= text.size() || (text[at] != '+' && text[at] != '-')) {
        return false;
    }
    const int sign = text[at] == '-' ? -1 : 1;
    std::size_t i = at + 1;
    int hours = 0;
    int minutes = 0;
    if (!ReadNumber(text, i, 2, hours) || i - at != 3 || hours > 23) {
        return false;
    }
    const std::size_t colon = i < text.size() && text[i] == ':' ? 1 : 0;
    std::size_t m = i + colon;
    if (ReadNumber(text, m, 2, minutes) && m - i - colon == 2 && minutes <= 59) {
        i = m;
    } else if (colon == 1) {
        return false;
    } else {
        minutes = 0;
    }
    at = i;
    out.zoned = true;
    out.offset = sign * (hours * 3600 + minutes * 60);
    return true;
}

bool Valid(const LogCivilTime& t) {
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour >= 0 &&
           t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 60;
}

}  // namespace

std::optional<LogDateLayout> LogDateLayout::ForLocale(const char* localeName) {
    locale_t loc = newlocale(LC_TIME_MASK, localeName, static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) {
        return std::nullopt;
    }
    LogDateLayout layout;
    for (int i = 0; i < 12; ++i) {
        layout.months_[static_cast<std::size_t>(i)] = nl_langinfo_l(ABMON_1 + i, loc);
        layout.longMonths_[static_cast<std::size_t>(i)] = nl_langinfo_l(MON_1 + i, loc);
    }
    layout.amPm_ = {nl_langinfo_l(AM_STR, loc), nl_langinfo_l(PM_STR, loc)};
    auto composite = [loc](char conversion) -> std::string {
        switch (conversion) {
            case 'c':
                return nl_langinfo_l(D_T_FMT, loc);
            case 'x':
                return nl_langinfo_l(D_FMT, loc);
            case 'X':
                return nl_langinfo_l(T_FMT, loc);
            case 'r':
                return nl_langinfo_l(T_FMT_AMPM, loc);
            default:
                return CComposite(conversion);
        }
    };
    layout.Compile(Expand("%c", composite));
    freelocale(loc);
    return layout;
}

LogDateLayout LogDateLayout::ForFormat(std::string_view format) {
    LogDateLayout layout;
    layout.months_ = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    layout.longMonths_ = {"January", "February", "March",     "April",   "May",      "June",
                          "July",    "August",   "September", "October", "November", "December"};
    layout.amPm_ = {"AM", "PM"};
    layout.Compile(Expand(format, CComposite));
    return layout;
}

void LogDateLayout::Compile(std::string_view format) {
    format_ = std::string(format);
    steps_.clear();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            std::size_t j = i + 1;
            while (j + 1 < format.size() && !std::isalpha(static_cast<unsigned char>(format[j]))) {
                ++j;  // flags such as %-d and %_d
            }
            if (format[j] == 'E' || format[j] == 'O') {
                ++j;
            }
            steps_.push_back(Step{format[j], {}});
            i = j;
            continue;
        }
        if (steps_.empty() || steps_.back().conversion != 0) {
            steps_.push_back(Step{});
        }
        steps_.back().literal += format[i];
    }
}

bool LogDateLayout::ParseName(const std::array<std::string, 12>& names, std::size_t count,
                              std::string_view text, std::size_t& at, int& index) const {
    std::size_t best = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& name = names[i];
        if (!name.empty() && name.size() > best && text.substr(at, name.size()) == name) {
            best = name.size();
            index = static_cast<int>(i);
        }
    }
    at += best;
    return best > 0;
}

namespace {

// Literal text of the layout; a space stands for any run of blanks, as
// "%e" pads a day with one.
bool ParseLiteral(std::string_view literal, std::string_view text, std::size_t& at) {
    for (char c : literal) {
        if (IsSpace(c)) {
            while (at < text.size() && IsSpace(text[at])) {
                ++at;
            }
        } else if (at < text.size() && text[at] == c) {
            ++at;
        } else {
            return false;
        }
    }
    return true;
}

// The field a numeric conversion fills and its most digits; nullptr for
// conversions that are not numbers.
int* NumberField(char conversion, LogCivilTime& t, int& digits) {
    digits = 2;
    switch (conversion) {
        case 'd':
        case 'e':
            return &t.day;
        case 'm':
            return &t.month;
        case 'Y':
            digits = 4;
            return &t.year;
        case 'y':
            return &t.year;
        case 'H':
        case 'I':
            return &t.hour;
        case 'M':
            return &t.minute;
        case 'S':
            return &t.second;
        default:
            return nullptr;
    }
}

bool ParseNumber(char conversion, std::string_view text, std::size_t& at, LogCivilTime& out) {
    int digits = 0;
    int* field = NumberField(conversion, out, digits);
    if (field == nullptr) {
        return SkipWord(text, at);  // a day's or a zone's name
    }
    while (conversion == 'e' && at < text.size() && IsSpace(text[at])) {
        ++at;
    }
    if (!ReadNumber(text, at, digits, *field)) {
        return false;
    }
    if (conversion == 'y') {
        out.year += out.year < 69 ? 2000 : 1900;
    }
    out.twelve = out.twelve || conversion == 'I';
    return true;
}

}  // namespace

bool LogDateLayout::ParseStep(const Step& step, std::string_view text, std::size_t& at,
                              LogCivilTime& out) const {
    int index = 0;
    switch (step.conversion) {
        case 0:
            return ParseLiteral(step.literal, text, at);
        case 'b':
        case 'B':
        case 'h':
            if (ParseName(step.conversion == 'B' ? longMonths_ : months_, 12, text, at, index) ||
                ParseName(step.conversion == 'B' ? months_ : longMonths_, 12, text, at, index)) {
                out.month = index + 1;
                return true;
            }
            return false;
        case 'p': {
            const std::array<std::string, 12> names{amPm_[0], amPm_[1]};
            if (ParseName(names, 2, text, at, index)) {
                out.pm = index == 1;
            }
            return true;  // a locale without the marks writes nothing
        }
        case 'z':
            return ParseOffset(text, at, out);
        default:
            return ParseNumber(step.conversion, text, at, out);
    }
}

std::size_t LogDateLayout::Parse(std::string_view text, LogCivilTime& out,
                                 LogClockPlaces* places) const {
    LogCivilTime t;
    std::size_t at = 0;
    for (const Step& step : steps_) {
        const std::size_t begin = at;
        if (!ParseStep(step, text, at, t)) {
            return 0;
        }
        if (places != nullptr) {
            places->Note(step.conversion, begin, at);
        }
    }
    if (t.twelve) {
        t.hour = t.hour % 12 + (t.pm ? 12 : 0);
    }
    if (!Valid(t)) {
        return 0;
    }
    out = t;
    return at;
}

void LogClockPlaces::Note(char conversion, std::size_t begin, std::size_t end) {
    const std::size_t place = end - begin == 2 ? begin : npos;
    switch (conversion) {
        case 'H':
            hour = place;
            break;
        case 'I':
            hour = npos;  // the hour needs its afternoon mark
            break;
        case 'M':
            minute = place;
            break;
        case 'S':
            second = place;
            break;
        default:
            break;
    }
}

bool LogClockPlaces::Usable() const {
    return hour != npos && minute != npos && second != npos && hour < minute && minute < second;
}

std::size_t LogDateCache::Read(std::string_view text, LogCivilTime& out) const {
    const std::size_t length = text_.size();
    if (length == 0 || text.size() < length) {
        return 0;
    }
    const std::size_t h = places_.hour;
    const std::size_t m = places_.minute;
    const std::size_t s = places_.second;
    const char* a = text.data();
    const char* b = text_.data();
    if (std::memcmp(a, b, h) != 0 || std::memcmp(a + h + 2, b + h + 2, m - h - 2) != 0 ||
        std::memcmp(a + m + 2, b + m + 2, s - m - 2) != 0 ||
        std::memcmp(a + s + 2, b + s + 2, length - s - 2) != 0) {
        return 0;
    }
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::size_t at = h;
    ReadNumber(text, at, 2, hour);
    at = m;
    ReadNumber(text, at, 2, minute);
    at = s;
    ReadNumber(text, at, 2, second);
    LogCivilTime t = civil_;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    // Two digits each, or the full parse decides: the fast path may never take
    // a line the full parse refuses.
    for (const std::size_t place : {h, m, s}) {
        if (!IsDigit(a[place]) || !IsDigit(a[place + 1])) {
            return 0;
        }
    }
    if (!Valid(t)) {
        return 0;
    }
    out = t;
    return length;
}

void LogDateCache::Remember(std::string_view text, std::size_t length, const LogCivilTime& civil,
                            const LogClockPlaces& places) {
    const bool usable = places.Usable() && places.second + 2 <= length;
    text_ = usable ? std::string(text.substr(0, length)) : std::string();
    civil_ = civil;
    places_ = places;
}

std::vector<LogDateLayout> LogDateCandidates(const std::vector<std::string>& locales) {
    std::vector<LogDateLayout> out;
    for (const std::string& name : locales) {
        if (std::optional<LogDateLayout> layout = LogDateLayout::ForLocale(name.c_str())) {
            bool known = false;
            for (const LogDateLayout& other : out) {
                known = known || other.Format() == layout->Format();
            }
            if (!known) {
                out.push_back(std::move(*layout));
            }
        }
    }
    out.push_back(LogDateLayout::ForFormat("%Y-%m-%dT%H:%M:%S%z"));
    out.push_back(LogDateLayout::ForFormat("%Y-%m-%dT%H:%M:%S"));
    out.push_back(LogDateLayout::ForFormat("%Y-%m-%d %H:%M:%S"));
    return out;
}

std::optional<int64_t> LocalTimeConverter::ToUtc(const LogCivilTime& civil) {
    const int64_t days = DaysFromCivil(civil.year, civil.month, civil.day);
    const int64_t hour = days * 24 + civil.hour;
    const int64_t local = hour * 3600 + civil.minute * 60 + civil.second;
    if (civil.zoned) {
        return local - civil.offset;  // the zone's rules are not needed
    }
    if (hour != cachedHour_) {
        std::tm tm{};
        tm.tm_year = civil.year - 1900;
        tm.tm_mon = civil.month - 1;
        tm.tm_mday = civil.day;
        tm.tm_hour = civil.hour;
        tm.tm_isdst = -1;
        const std::time_t utc = std::mktime(&tm);
        if (utc == static_cast<std::time_t>(-1) && tm.tm_year != 69) {
            return std::nullopt;
        }
        cachedHour_ = hour;
        cachedOffset_ = hour * 3600 - static_cast<int64_t>(utc);
    }
    return local - cachedOffset_;
}

}  // namespace tk358
