// SPDX-License-Identifier: GPL-3.0-or-later
// The log as the main window drives it: start-up and dialog opens, the
// comment, and reporting of write failures.

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "log/measurement_log.h"
#include "log_test_support.h"
#include "scripted_file_ops.h"

namespace tk358 {
namespace {

using Change = LogWriteHealth::Change;
using test::FixedEnvironment;
using test::GoodReadings;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kHeader =
    "Data i Godzina;Temperatura °C;Wartość zadana °C;Wartość zadana 2 °C\r\n";
const std::string kLine = "T;21,5;22,0;22,0\r\n";

struct DialogCase {
    const char* name;
    bool existed;
    bool keepContents;
    bool commentOn;
    const char* comment;
    std::string expected;
};

void PrintTo(const DialogCase& c, std::ostream* os) {
    *os << c.name;
}

class MeasurementLogDialogTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(MeasurementLogDialogTest, ContentsAfterOpenCommentAndFirstLine) {
    const DialogCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.File("pomiary.csv");
    if (c.existed) {
        WriteFile(path, "old\r\n");
    }
    MeasurementLog log(FixedEnvironment(","));
    LogOpenResult opened = log.Open(path);
    ASSERT_TRUE(opened.ok());
    ASSERT_EQ(opened.existed, c.existed);
    EXPECT_EQ(log.BeginFromDialog(opened.existed, c.keepContents, c.commentOn, c.comment).error, 0);
    EXPECT_EQ(log.WriteLine(LogLineOptions{}, GoodReadings()).error, 0);
    EXPECT_EQ(ReadFile(path), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Opens, MeasurementLogDialogTest,
    ::testing::Values(
        DialogCase{"NewFileWithComment", false, true, true, "Próba", "Próba\r\n" + kHeader + kLine},
        DialogCase{"EmptiedWithComment", true, false, true, "Próba", "Próba\r\n" + kHeader + kLine},
        DialogCase{"EmptiedWithoutComment", true, false, false, "Próba", kHeader + kLine},
        DialogCase{"AppendedWithComment", true, true, true, "Próba",
                   "old\r\n\r\nPróba\r\n" + kHeader + kLine},
        DialogCase{"AppendedWithEmptyComment", true, true, true, "",
                   "old\r\n\r\n" + kHeader + kLine},
        DialogCase{"AppendedWithoutComment", true, true, false, "Próba",
                   "old\r\n" + kHeader + kLine}),
    test::CaseName());

// A file opened from the dialog after a line that carried the header.
TEST(MeasurementLogTest, HeaderAfterReopeningFollowsWhatPrecedesIt) {
    struct Case {
        const char* what;
        bool sameFile;
        const char* comment;
        std::string expected;
    };
    const Case cases[] = {
        {"same file continued", true, "", kHeader + kLine + kLine},
        {"same file after a comment", true, "Próba",
         kHeader + kLine + "\r\nPróba\r\n" + kHeader + kLine},
        {"other file", false, "", "old\r\n" + kHeader + kLine},
        {"other file after a comment", false, "Próba", "old\r\n\r\nPróba\r\n" + kHeader + kLine},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string first = dir.File("first.csv");
        const std::string second = c.sameFile ? first : dir.File("second.csv");
        if (!c.sameFile) {
            WriteFile(second, "old\r\n");
        }
        MeasurementLog log(FixedEnvironment(","));
        ASSERT_TRUE(log.Open(first).ok());
        log.WriteLine(LogLineOptions{}, GoodReadings());
        LogOpenResult opened = log.Open(second);
        ASSERT_TRUE(opened.ok());
        log.BeginFromDialog(opened.existed, true, *c.comment != '\0', c.comment);
        log.WriteLine(LogLineOptions{}, GoodReadings());
        EXPECT_EQ(ReadFile(second), c.expected) << c.what;
    }
}

TEST(MeasurementLogTest, StartUpOpenAppendsHeaderAndLines) {
    TempDir dir;
    const std::string path = dir.File("pomiary.csv");
    WriteFile(path, "old\r\n");
    MeasurementLog log(FixedEnvironment(","));
    EXPECT_EQ(log.WriteLine(LogLineOptions{}, GoodReadings()).error, 0);  // no file: nothing
    ASSERT_TRUE(log.Open(path).ok());
    log.WriteLine(LogLineOptions{}, GoodReadings());
    log.WriteLine(LogLineOptions{}, GoodReadings());
    EXPECT_EQ(ReadFile(path), "old\r\n" + kHeader + kLine + kLine);
}

TEST(MeasurementLogTest, FailureReportedOnceAndHeaderNotLost) {
    TempDir dir;
    const std::string path = dir.File("pomiary.csv");
    auto ops = std::make_shared<test::ScriptedFileOps>();
    MeasurementLog log(FixedEnvironment(","), ops);
    ASSERT_TRUE(log.Open(path).ok());

    ops->writes = {test::WriteStep::kShort, test::WriteStep::kNoSpace, test::WriteStep::kNoSpace};
    LogWriteOutcome first = log.WriteLine(LogLineOptions{}, GoodReadings());
    EXPECT_EQ(first.error, ENOSPC);
    EXPECT_EQ(first.change, Change::kFailed);
    EXPECT_TRUE(log.WriteFailing());
    EXPECT_EQ(log.WriteLine(LogLineOptions{}, GoodReadings()).change, Change::kNone);
    EXPECT_EQ(ReadFile(path), "");

    LogWriteOutcome recovered = log.WriteLine(LogLineOptions{}, GoodReadings());
    EXPECT_EQ(recovered.error, 0);
    EXPECT_EQ(recovered.change, Change::kRecovered);
    EXPECT_FALSE(log.WriteFailing());
    EXPECT_EQ(ReadFile(path), kHeader + kLine);
}

}  // namespace
}  // namespace tk358
