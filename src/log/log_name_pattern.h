// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The name of a measurement log file that may carry the date. Conversions in
// the file name (never in its folder) give a new file whenever the expanded
// name changes: /var/log/tk358/line1-%Y-%m-%d.csv is a file a day. Only
// numeric conversions are taken, so that a name read back tells its date:
// %Y %y %m %d %j %H %M %S, %F (%Y-%m-%d) and %% for a '%' itself.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk358 {

class LogNamePattern {
public:
    // Nothing, with the Polish reason in `error`, for a pattern that cannot
    // be taken.
    static std::optional<LogNamePattern> Parse(const std::string& text, std::string* error);

    const std::string& Text() const { return text_; }
    // The name has conversions: it changes with the time.
    bool Dated() const { return dated_; }
    // The folder the files are in ("." for a bare name).
    const std::string& Directory() const { return directory_; }

    // The path of a file name in the pattern's folder.
    std::string PathOf(const std::string& fileName) const;
    // The path for a local time.
    std::string Expand(const std::tm& local) const;

    struct NameMatch {
        // Days since 1970-01-01 of the calendar day the name gives; nothing
        // when the pattern names no whole day (no year, or no month and day).
        std::optional<long> day;
    };
    // Whether `fileName` (without its folder) is one of this pattern's names.
    std::optional<NameMatch> Match(std::string_view fileName) const;

private:
    struct Token {
        char field = 0;  // 0: literal text
        std::string text;
    };

    std::string text_;
    std::string directory_;
    std::vector<Token> name_;  // the file name's tokens
    bool dated_ = false;
};

// The files of the pattern's folder that are its own (regular files whose
// name matches) and whose day lies more than `keepDays` days before today's
// local day. A file's day comes from its name where the pattern names one,
// else from its modification time.
std::vector<std::string> ExpiredLogFiles(const LogNamePattern& pattern, int keepDays,
                                         std::time_t now);

}  // namespace tk358
