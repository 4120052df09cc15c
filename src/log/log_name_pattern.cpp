// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_name_pattern.h"

#include "log/civil_date.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>

namespace tk358 {

namespace {

struct FieldRule {
    char field;
    int width;
    int min;
    int max;
};

constexpr std::array<FieldRule, 8> kFields = {{
    {'Y', 4, 0, 9999},
    {'y', 2, 0, 99},
    {'m', 2, 1, 12},
    {'d', 2, 1, 31},
    {'j', 3, 1, 366},
    {'H', 2, 0, 23},
    {'M', 2, 0, 59},
    {'S', 2, 0, 60},
}};

const FieldRule* RuleOf(char field) {
    for (const FieldRule& rule : kFields) {
        if (rule.field == field) {
            return &rule;
        }
    }
    return nullptr;
}

int ValueOf(char field, const std::tm& t) {
    switch (field) {
        case 'Y':
            return t.tm_year + 1900;
        case 'y':
            return (t.tm_year + 1900) % 100;
        case 'm':
            return t.tm_mon + 1;
        case 'd':
            return t.tm_mday;
        case 'j':
            return t.tm_yday + 1;
        case 'H':
            return t.tm_hour;
        case 'M':
            return t.tm_min;
        default:
            return t.tm_sec;
    }
}

// Reads `width` digits at `at`; nothing when they are not all digits.
std::optional<int> Digits(std::string_view text, std::size_t at, int width) {
    if (at + static_cast<std::size_t>(width) > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (int i = 0; i < width; ++i) {
        const char c = text[at + static_cast<std::size_t>(i)];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// The calendar day of the fields read from a name: nothing when they name no
// day, -1 when they name one the calendar lacks (2026-02-30).
std::optional<long> DayOf(const std::map<char, int>& fields) {
    int year = 0;
    if (auto y = fields.find('Y'); y != fields.end()) {
        year = y->second;
    } else if (auto yy = fields.find('y'); yy != fields.end()) {
        year = 2000 + yy->second;
    } else {
        return std::nullopt;
    }
    const auto month = fields.find('m');
    const auto day = fields.find('d');
    if (month != fields.end() && day != fields.end()) {
        if (day->second > DaysInMonth(year, month->second)) {
            return -1;
        }
        return DaysFromCivil(year, month->second, day->second);
    }
    if (const auto yday = fields.find('j'); yday != fields.end()) {
        if (yday->second > (IsLeap(year) ? 366 : 365)) {
            return -1;
        }
        return DaysFromCivil(year, 1, 1) + yday->second - 1;
    }
    return std::nullopt;
}

long LocalDay(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace

std::optional<LogNamePattern> LogNamePattern::Parse(const std::string& text, std::string* error) {
    LogNamePattern pattern;
    pattern.text_ = text;
    const std::size_t slash = text.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : text.substr(0, slash + 1);
    if (directory.find('%') != std::string::npos) {
        *error = "wzorzec daty tylko w nazwie pliku, nie w nazwie katalogu: " + text;
        return std::nullopt;
    }
    pattern.directory_ = directory;
    const std::string name = slash == std::string::npos ? text : text.substr(slash + 1);
    std::string literal;
    auto flush = [&] {
        if (!literal.empty()) {
            pattern.name_.push_back({0, literal});
            literal.clear();
        }
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '%') {
            literal += name[i];
            continue;
        }
        const char field = i + 1 < name.size() ? name[++i] : '\0';
        if (field == '%') {
            literal += '%';
        } else if (field == 'F') {
            flush();
            pattern.name_.insert(pattern.name_.end(),
                                 {{'Y', {}}, {0, "-"}, {'m', {}}, {0, "-"}, {'d', {}}});
        } else if (RuleOf(field) != nullptr) {
            flush();
            pattern.name_.push_back({field, {}});
        } else {
            *error = "we wzorcu nazwy dozwolone są tylko %Y %y %m %d %j %H %M %S %F i %%: " + text;
            return std::nullopt;
        }
    }
    flush();
    if (pattern.name_.empty()) {
        *error = "brak nazwy pliku";
        return std::nullopt;
    }
    for (const Token& token : pattern.name_) {
        pattern.dated_ = pattern.dated_ || token.field != 0;
    }
    return pattern;
}

std::string LogNamePattern::PathOf(const std::string& fileName) const {
    return directory_ == "." ? fileName : directory_ + fileName;
}

std::string LogNamePattern::Expand(const std::tm& local) const {
    std::string path = PathOf({});
    for (const Token& token : name_) {
        if (token.field == 0) {
            path += token.text;
            continue;
        }
        char digits[16];
        std::snprintf(digits, sizeof digits, "%0*d", RuleOf(token.field)->width,
                      ValueOf(token.field, local));
        path += digits;
    }
    return path;
}

std::optional<LogNamePattern::NameMatch> LogNamePattern::Match(std::string_view fileName) const {
    std::map<char, int> fields;
    std::size_t at = 0;
    for (const Token& token : name_) {
        if (token.field == 0) {
            if (fileName.substr(at, token.text.size()) != token.text) {
                return std::nullopt;
            }
            at += token.text.size();
            continue;
        }
        const FieldRule& rule = *RuleOf(token.field);
        const std::optional<int> value = Digits(fileName, at, rule.width);
        if (!value || *value < rule.min || *value > rule.max) {
            return std::nullopt;
        }
        // A field given twice must say the same both times.
        if (const auto [it, added] = fields.emplace(token.field, *value);
            !added && it->second != *value) {
            return std::nullopt;
        }
        at += static_cast<std::size_t>(rule.width);
    }
    const std::optional<long> day = DayOf(fields);
    if (at != fileName.size() || day == -1L) {
        return std::nullopt;
    }
    return NameMatch{day};
}

std::vector<std::string> ExpiredLogFiles(const LogNamePattern& pattern, int keepDays,
                                         std::time_t now) {
    namespace fs = std::filesystem;
    std::vector<std::string> expired;
    const long oldestKept = LocalDay(now) - keepDays;
    std::error_code error;
    for (fs::directory_iterator it(pattern.Directory(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::optional<LogNamePattern::NameMatch> match = pattern.Match(name);
        std::error_code statError;
        if (!match || !it->is_regular_file(statError) || it->is_symlink(statError)) {
            continue;
        }
        long day = 0;
        if (match->day) {
            day = *match->day;
        } else {
            struct stat st {};
            if (::lstat(it->path().c_str(), &st) != 0) {
                continue;
            }
            day = LocalDay(st.st_mtime);
        }
        if (day < oldestKept) {
            expired.push_back(pattern.PathOf(name));
        }
    }
    return expired;
}

}  // namespace tk358
