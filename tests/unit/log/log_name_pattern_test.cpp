// SPDX-License-Identifier: GPL-3.0-or-later
// Dated log file names: which patterns are taken, what they expand to, and
// which files are the pattern's own and old enough to delete.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "log/log_name_pattern.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

TEST(LogNamePattern, ExpandsNumericConversionsInTheFileNameOnly) {
    const std::time_t time = 1772874302;  // 2026-03-07 09:05:02
    std::tm t{};
    gmtime_r(&time, &t);
    const std::pair<const char*, const char*> cases[] = {
        // pattern, expanded or (starting with '!') part of the reason refused
        {"/v/line1.csv", "/v/line1.csv"},
        {"/v/line1-%Y-%m-%d.csv", "/v/line1-2026-03-07.csv"},
        {"line-%F.csv", "line-2026-03-07.csv"},
        {"a/%y%j-%H%M%S.csv", "a/26066-090502.csv"},
        {"/x/100%%-%Y.csv", "/x/100%-2026.csv"},
        {"/x/%Y/line.csv", "!nie w nazwie katalogu"},
        {"/x/line-%a.csv", "!dozwolone są tylko"},
        {"/x/", "!brak nazwy pliku"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        const std::optional<LogNamePattern> pattern = LogNamePattern::Parse(text, &error);
        if (*expected == '!') {
            EXPECT_FALSE(pattern) << text;
            EXPECT_NE(error.find(expected + 1), std::string::npos) << text << ": " << error;
        } else {
            ASSERT_TRUE(pattern) << error;
            EXPECT_EQ(pattern->Expand(t), expected);
            EXPECT_EQ(pattern->Dated(), std::string(text) != expected) << text;
        }
    }
}

TEST(ExpiredLogFiles, WithoutADayInTheNameTheModificationTimeTellsTheAge) {
    test::TempDir dir("tk358-expired");
    test::WriteFile(dir.File("h-01.csv"), "x");
    test::WriteFile(dir.File("h-02.csv"), "x");
    const std::time_t now = std::time(nullptr);
    const timespec old[2] = {{now - 5 * 86400, 0}, {now - 5 * 86400, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.File("h-01.csv").c_str(), old, 0), 0);
    std::string error;
    EXPECT_EQ(ExpiredLogFiles(*LogNamePattern::Parse(dir.File("h-%H.csv"), &error), 3, now),
              std::vector<std::string>{dir.File("h-01.csv")});
}

}  // namespace
}  // namespace tk358
