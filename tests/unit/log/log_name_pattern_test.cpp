// Dated log file names: which patterns are taken, what they expand to, which
// file names are their own, and which files are old enough to delete.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "log/log_name_pattern.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using test::TempDir;
using test::WriteFile;

std::tm Local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    std::tm copy = t;
    std::mktime(&copy);  // fills in the day of the year
    t.tm_yday = copy.tm_yday;
    return t;
}

struct PatternCase {
    const char* pattern;
    const char* expanded;  // for 2026-03-07 09:05:02; empty: refused
    const char* error;     // part of the reason when refused
};

TEST(LogNamePattern, ExpandsNumericConversionsInTheFileNameOnly) {
    const PatternCase cases[] = {
        {"/var/log/tk358/line1.csv", "/var/log/tk358/line1.csv", ""},
        {"/var/log/tk358/line1-%Y-%m-%d.csv", "/var/log/tk358/line1-2026-03-07.csv", ""},
        {"line-%F.csv", "line-2026-03-07.csv", ""},
        {"a/%y%j-%H%M%S.csv", "a/26066-090502.csv", ""},
        {"/x/100%%-%Y.csv", "/x/100%-2026.csv", ""},
        {"/x/%Y/line.csv", "", "nie w nazwie katalogu"},
        {"/x/line-%a.csv", "", "dozwolone są tylko"},
        {"/x/line-%", "", "dozwolone są tylko"},
        {"/x/", "", "brak nazwy pliku"},
    };
    for (const PatternCase& c : cases) {
        std::string error;
        const std::optional<LogNamePattern> pattern = LogNamePattern::Parse(c.pattern, &error);
        if (*c.expanded == '\0') {
            EXPECT_FALSE(pattern) << c.pattern;
            EXPECT_NE(error.find(c.error), std::string::npos) << c.pattern << ": " << error;
            continue;
        }
        ASSERT_TRUE(pattern) << c.pattern << ": " << error;
        EXPECT_EQ(pattern->Expand(Local(2026, 3, 7, 9, 5, 2)), c.expanded);
        EXPECT_EQ(pattern->Dated(), std::string(c.pattern) != c.expanded) << c.pattern;
    }
}

struct MatchCase {
    const char* pattern;
    const char* name;
    bool matches;
    long day;  // days since 1970 from the name, -1: none
};

TEST(LogNamePattern, KnowsItsOwnNamesAndTheirDay) {
    const long day = DaysFromCivil(2026, 3, 7);
    const MatchCase cases[] = {
        {"d/line1-%Y-%m-%d.csv", "line1-2026-03-07.csv", true, day},
        {"d/line1-%F.csv", "line1-2026-03-07.csv", true, day},
        {"d/line1-%y%j.csv", "line1-26066.csv", true, day},
        {"d/l-%Y%m%d%H%M.csv", "l-202603070905.csv", true, day},
        {"d/l-%H.csv", "l-23.csv", true, -1},
        {"d/l-%Y-%m.csv", "l-2026-03.csv", true, -1},
        {"d/line1-%Y-%m-%d.csv", "line1-2026-03-07.csv.gz", false, -1},
        {"d/line1-%Y-%m-%d.csv", "line2-2026-03-07.csv", false, -1},
        {"d/line1-%Y-%m-%d.csv", "line1-2026-13-07.csv", false, -1},
        {"d/line1-%Y-%m-%d.csv", "line1-2026-3-07.csv", false, -1},
        {"d/line1-%Y-%m-%d.csv", "line1-2026-03-7.csv", false, -1},
        {"d/line1-%Y-%m-%d.csv", "line1-20x6-03-07.csv", false, -1},
        {"d/line1-%Y-%m-%d.csv", "line1-2026-03-07.csv~", false, -1},
        {"d/l-%H.csv", "l-24.csv", false, -1},
        {"d/%Y-%Y.csv", "2026-2025.csv", false, -1},
    };
    for (const MatchCase& c : cases) {
        std::string error;
        const std::optional<LogNamePattern> pattern = LogNamePattern::Parse(c.pattern, &error);
        ASSERT_TRUE(pattern) << error;
        const auto match = pattern->Match(c.name);
        ASSERT_EQ(match.has_value(), c.matches) << c.pattern << " " << c.name;
        if (match) {
            EXPECT_EQ(match->day.value_or(-1), c.day) << c.pattern << " " << c.name;
        }
    }
}

TEST(ExpiredLogFiles, DeletesOnlyThePatternsOwnFilesPastTheDaysKept) {
    TempDir dir("tk358-expired");
    const std::time_t now = [] {
        std::tm t = Local(2026, 3, 10, 12);
        return std::mktime(&t);
    }();
    struct FileCase {
        const char* name;
        bool expired;
    };
    // Kept: today and the 3 days before it.
    const FileCase files[] = {
        {"line1-2026-03-10.csv", false},
        {"line1-2026-03-07.csv", false},
        {"line1-2026-03-06.csv", true},
        {"line1-2025-12-31.csv", true},
        {"line1-2026-03-06.csv.gz", false},
        {"line2-2026-03-01.csv", false},
        {"line1-2026-02-29.csv", false},  // a day the calendar lacks
        {"line1-2026-00-01.csv", false},
        {"line1.csv", false},
        {"notes.txt", false},
    };
    for (const FileCase& f : files) {
        WriteFile(dir.File(f.name), "x\r\n");
    }
    std::filesystem::create_directory(dir.File("line1-2026-01-01.csv"));
    ASSERT_EQ(::symlink(dir.File("notes.txt").c_str(), dir.File("line1-2026-01-02.csv").c_str()),
              0);
    std::string error;
    const auto pattern = LogNamePattern::Parse(dir.File("line1-%Y-%m-%d.csv"), &error);
    ASSERT_TRUE(pattern) << error;
    std::vector<std::string> expected;
    for (const FileCase& f : files) {
        if (f.expired) {
            expected.push_back(dir.File(f.name));
        }
    }
    std::vector<std::string> expired = ExpiredLogFiles(*pattern, 3, now);
    std::sort(expired.begin(), expired.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expired, expected);

    // Without a day in the name the modification time tells the age.
    const auto hourly = LogNamePattern::Parse(dir.File("h-%H.csv"), &error);
    ASSERT_TRUE(hourly) << error;
    WriteFile(dir.File("h-01.csv"), "x");
    WriteFile(dir.File("h-02.csv"), "x");
    const timespec old[2] = {{now - 5 * 86400, 0}, {now - 5 * 86400, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.File("h-01.csv").c_str(), old, 0), 0);
    EXPECT_EQ(ExpiredLogFiles(*hourly, 3, now), std::vector<std::string>{dir.File("h-01.csv")});
}

}  // namespace
}  // namespace tk358
