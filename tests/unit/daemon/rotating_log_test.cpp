// SPDX-License-Identifier: GPL-3.0-or-later
// tk358d's measurement log on a clock the test drives: a new file with its
// header whenever the dated name changes, no line lost on the way, and a full
// disk or a missing folder reported once with logging resuming by itself.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "daemon/rotating_log.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using test::ReadFile;

constexpr const char* kHeader = "Data i Godzina;Temperatura";

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

// Writes fail with ENOSPC while `full`.
struct DiskThatFills : LogFileOps {
    bool full = false;
    ssize_t Write(int fd, const void* data, size_t size) override {
        errno = ENOSPC;
        return full ? -1 : LogFileOps::Write(fd, data, size);
    }
};

class RotatingLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        options_.separatorCode = kSeparatorSemicolon;
        std::string error;
        std::filesystem::create_directory(dir_.File("d"));
        log_.Configure(LogNamePattern::Parse(dir_.File("d/l-%H%M.csv"), &error), 0);
        ASSERT_TRUE(log_.Enabled()) << error;
        ASSERT_TRUE(log_.Open());
    }
    void TearDown() override { ::close(messagesFd_); }

    // Lines at one-second steps.
    void WriteSeconds(int seconds) {
        for (int i = 0; i < seconds; ++i, ++now_) {
            LogReadings readings;
            readings.connected = true;
            log_.WriteLine(options_, readings);
        }
    }
    std::string Messages() const { return ReadFile(dir_.File("messages")); }

    test::TempDir dir_{"tk358-rotating"};
    int messagesFd_ = ::open(dir_.File("messages").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    DaemonLog messages_{"line", messagesFd_, false};
    std::time_t now_ = 1772877510;  // 2026-03-07 09:58:30 UTC
    std::shared_ptr<DiskThatFills> disk_ = std::make_shared<DiskThatFills>();
    RotatingLog log_{messages_, [this] { return now_; }, disk_};
    LogLineOptions options_;
};

TEST_F(RotatingLogTest, MinutePatternGivesAFileAMinuteEachWithItsHeaderAndLosesNoLine) {
    WriteSeconds(150);  // two and a half minutes
    int lines = 0;
    for (const char* minute : {"09:58:", "09:59:", "10:00:"}) {
        const std::string name = std::string("l-") + minute[0] + minute[1] + minute[3] + minute[4];
        const std::string text = ReadFile(dir_.File("d/" + name + ".csv"));
        EXPECT_EQ(text.rfind(kHeader, 0), 0u) << name;
        EXPECT_EQ(Count(text, kHeader), 1) << name;
        // Every line is in the file of its own minute.
        EXPECT_EQ(Count(text, minute), Count(text, "\r\n") - 1) << name << "\n" << text;
        lines += Count(text, minute);
    }
    EXPECT_EQ(lines, 150);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.File("d")), {}), 3);
    EXPECT_EQ(Messages(), "");
}

TEST_F(RotatingLogTest, AFullDiskOrAMissingFolderIsReportedOnceAndLoggingResumes) {
    WriteSeconds(10);
    disk_->full = true;
    WriteSeconds(120);  // past two changes of the name
    EXPECT_EQ(Count(Messages(), "zabrakło miejsca"), 1) << Messages();
    disk_->full = false;
    WriteSeconds(5);
    EXPECT_EQ(Count(Messages(), "znów się udaje"), 1) << Messages();
    EXPECT_EQ(ReadFile(dir_.File("d/l-1000.csv")).rfind(kHeader, 0), 0u);

    std::filesystem::remove_all(dir_.File("d"));
    WriteSeconds(60);  // the next minute's file cannot be made
    EXPECT_EQ(Count(Messages(), "niedostępny"), 1) << Messages();
    std::filesystem::create_directory(dir_.File("d"));
    WriteSeconds(3);
    EXPECT_EQ(Count(Messages(), "znów się udaje"), 2) << Messages();
    const std::string resumed = ReadFile(dir_.File("d/l-1001.csv"));
    EXPECT_EQ(resumed.rfind(kHeader, 0), 0u) << resumed;
    EXPECT_EQ(Count(resumed, "\r\n"), 4);
}

}  // namespace
}  // namespace tk358
