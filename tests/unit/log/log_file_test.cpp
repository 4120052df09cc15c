// SPDX-License-Identifier: GPL-3.0-or-later
// The log file on a real file system: open, append, truncate, locking, and
// what is left after a failed write or a killed writer.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <ostream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "log/log_file.h"
#include "log_test_support.h"
#include "scripted_file_ops.h"

namespace tk358 {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using test::WriteStep;

// Splits at CR LF; anything after the last CR LF comes back as `rest`.
std::vector<std::string> SplitLines(const std::string& text, std::string* rest) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    *rest = text.substr(start);
    return lines;
}

// A log-like line of some length that names its number.
std::string NumberedLine(int n) {
    return "2026-12-07 19:50:42;" + std::to_string(n) + ";" + std::string(n % 37, 'x') + "\r\n";
}

// Every line complete, numbered from 0 without a gap.
void ExpectWholeNumberedLines(const std::string& text, int atLeast) {
    std::string rest;
    std::vector<std::string> lines = SplitLines(text, &rest);
    EXPECT_EQ(rest, "") << "torn last line";
    ASSERT_GE(static_cast<int>(lines.size()), atLeast);
    const std::regex shape(R"(2026-12-07 19:50:42;(\d+);x*)");
    for (size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i] + "\r\n", NumberedLine(static_cast<int>(i))) << "line " << i;
        ASSERT_TRUE(std::regex_match(lines[i], shape)) << lines[i];
    }
}

TEST(LogFileTest, OpenCreatesMissingFileWithMode0644) {
    TempDir dir;
    const std::string path = dir.File("pomiary.csv");
    mode_t oldMask = umask(022);
    LogFile file;
    LogOpenResult result = file.Open(path);
    umask(oldMask);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_FALSE(result.existed);
    EXPECT_EQ(file.Path(), path);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_EQ(file.Append("a\r\n"), 0);
    EXPECT_EQ(ReadFile(path), "a\r\n");
}

TEST(LogFileTest, OpenOfExistingFileAppendsAndTruncateEmpties) {
    TempDir dir;
    const std::string path = dir.File("pomiary.csv");
    WriteFile(path, "old\r\n");
    LogFile file;
    LogOpenResult result = file.Open(path);
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(result.existed);
    EXPECT_EQ(ReadFile(path), "old\r\n");
    EXPECT_EQ(file.Append("new\r\n"), 0);
    EXPECT_EQ(ReadFile(path), "old\r\nnew\r\n");
    EXPECT_EQ(file.Truncate(), 0);
    EXPECT_EQ(ReadFile(path), "");
    EXPECT_EQ(file.Append("next\r\n"), 0);
    EXPECT_EQ(ReadFile(path), "next\r\n");
}

TEST(LogFileTest, SecondWriterIsRefusedUntilTheFirstCloses) {
    TempDir dir;
    const std::string path = dir.File("pomiary.csv");
    LogFile first;
    ASSERT_TRUE(first.Open(path).ok());
    ASSERT_EQ(first.Append("one\r\n"), 0);

    LogFile second;
    LogOpenResult refused = second.Open(path);
    EXPECT_EQ(refused.error, EBUSY);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.Append("two\r\n"), EBADF);
    EXPECT_EQ(ReadFile(path), "one\r\n");

    first.Open(dir.File("other.csv"));  // opening another file lets go of the first
    EXPECT_TRUE(second.Open(path).ok());
}

TEST(LogFileTest, UnusablePathsFailWithTheirErrno) {
    TempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        int error;
    };
    const std::vector<Case> cases = {
        {dir.Path().string(), EISDIR},
        {dir.File("missing/pomiary.csv"), ENOENT},
        {"", ENOENT},
        {fifo, EINVAL},
    };
    for (const Case& c : cases) {
        LogFile file;
        LogOpenResult result = file.Open(c.path);
        EXPECT_EQ(result.error, c.error) << c.path;
        EXPECT_FALSE(file.IsOpen()) << c.path;
    }
}

struct FaultCase {
    const char* name;
    std::vector<WriteStep> writes;
    int fsyncFailures;
    int truncateFailures;
    int expectedError;
    bool lineKept;  // the line went in whole in spite of the hiccup
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class LogFileFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(LogFileFaultTest, FileEndsWithLastCompleteLineAndLaterWritesWork) {
    const FaultCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.File("pomiary.csv");
    auto ops = std::make_shared<test::ScriptedFileOps>();
    LogFile file(ops);
    ASSERT_TRUE(file.Open(path).ok());
    const std::string first = "T;21,5\r\n", second = "T;21,6;a longer second line\r\n",
                      third = "T;21,7\r\n";
    ASSERT_EQ(file.Append(first), 0);

    ops->writes.assign(c.writes.begin(), c.writes.end());
    ops->fsyncFailures = c.fsyncFailures;
    ops->truncateFailures = c.truncateFailures;
    EXPECT_EQ(file.Append(second), c.expectedError);
    if (c.truncateFailures == 0) {
        EXPECT_EQ(ReadFile(path), c.lineKept ? first + second : first);
    }

    EXPECT_EQ(file.Append(third), 0);
    EXPECT_EQ(ReadFile(path), first + (c.lineKept ? second : "") + third);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LogFileFaultTest,
    ::testing::Values(
        FaultCase{"NoSpace", {WriteStep::kNoSpace}, 0, 0, ENOSPC, false},
        FaultCase{
            "ShortThenNoSpace", {WriteStep::kShort, WriteStep::kNoSpace}, 0, 0, ENOSPC, false},
        FaultCase{"FsyncFails", {}, 1, 0, EIO, false},
        FaultCase{"CutBackFailsToo", {WriteStep::kShort, WriteStep::kNoSpace}, 0, 1, ENOSPC, false},
        FaultCase{"ShortWriteCompleted", {WriteStep::kShort}, 0, 0, 0, true},
        FaultCase{"Interrupted", {WriteStep::kInterrupted}, 0, 0, 0, true}),
    test::CaseName());

TEST(LogFileTest, KilledWriterLeavesOnlyWholeLines) {
    TempDir dir;
    const std::string path = dir.File("pomiary.csv");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LogFile file;
        if (!file.Open(path).ok()) {
            _exit(2);
        }
        for (int n = 0;; ++n) {
            if (file.Append(NumberedLine(n)) != 0) {
                _exit(3);
            }
            usleep(n % 2 == 0 ? 0 : 1000);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer ended on its own, status " << status;
    ExpectWholeNumberedLines(ReadFile(path), 10);

    LogFile reopened;  // the lock went with the killed process
    EXPECT_TRUE(reopened.Open(path).ok());
}

// Fills a small tmpfs in a private mount namespace. Exit codes: 0 passed,
// 77 no namespace or mount allowed, others name the failed check.
int FillSmallFileSystem(const std::string& mountPoint) {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=16k") != 0) {
        return 77;
    }
    const std::string filler = mountPoint + "/filler";
    WriteFile(filler, std::string(4096, 'f'));
    LogFile file;
    if (!file.Open(mountPoint + "/pomiary.csv").ok()) {
        return 10;
    }
    int n = 0;
    int error = 0;
    while (n < 100000 && (error = file.Append(NumberedLine(n))) == 0) {
        ++n;
    }
    if (error != ENOSPC) {
        std::fprintf(stderr, "error %d after %d lines\n", error, n);
        return 11;
    }
    std::string text = ReadFile(mountPoint + "/pomiary.csv");
    std::string rest;
    if (static_cast<int>(SplitLines(text, &rest).size()) != n || !rest.empty()) {
        return 12;
    }
    unlink(filler.c_str());
    if (file.Append(NumberedLine(n)) != 0) {
        return 13;
    }
    ExpectWholeNumberedLines(ReadFile(mountPoint + "/pomiary.csv"), n + 1);
    return ::testing::Test::HasFailure() ? 14 : 0;
}

TEST(LogFileTest, FullFileSystemLeavesWholeLinesAndRecovers) {
    TempDir dir;
    const std::string mountPoint = dir.File("small");
    ASSERT_EQ(mkdir(mountPoint.c_str(), 0700), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(FillSmallFileSystem(mountPoint));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << "needs a private mount namespace and tmpfs (root)";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace tk358
