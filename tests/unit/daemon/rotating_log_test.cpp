// tk358d's measurement log on a clock the test drives: a new file with its
// header whenever the dated name changes, no line lost on the way, a full
// disk or a missing folder reported once with logging resuming by itself,
// and only the pattern's old files deleted.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "daemon/daemon_command_line.h"
#include "daemon/rotating_log.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr const char* kHeader = "Data i Godzina;Temperatura";

// Writes fail with ENOSPC while `full`.
class DiskThatFills : public LogFileOps {
public:
    bool full = false;
    ssize_t Write(int fd, const void* data, size_t size) override {
        if (full) {
            errno = ENOSPC;
            return -1;
        }
        return LogFileOps::Write(fd, data, size);
    }
};

LogReadings Readings() {
    LogReadings r;
    r.connected = true;
    r.temperature.temperature = 21.5;
    r.temperature.valid = 1;
    r.setpoint.setpoint = 2200;
    r.setpoint.valid = 1;
    return r;
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

class RotatingLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        messagesFd_ = ::open(dir_.File("messages").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ASSERT_GE(messagesFd_, 0);
        options_.separatorCode = kSeparatorSemicolon;
        options_.decimalCode = kDecimalComma;
    }
    void TearDown() override { ::close(messagesFd_); }

    std::optional<LogNamePattern> Pattern(const std::string& name) {
        std::string error;
        auto pattern = LogNamePattern::Parse(dir_.File(name), &error);
        EXPECT_TRUE(pattern) << error;
        return pattern;
    }
    // Lines at one-second steps.
    void WriteSeconds(RotatingLog& log, int seconds) {
        for (int i = 0; i < seconds; ++i, ++now_) {
            log.WriteLine(options_, Readings());
        }
    }
    std::string Messages() { return ReadFile(dir_.File("messages")); }
    // The dated files in the folder and their contents.
    std::map<std::string, std::string> Files(const std::string& prefix) {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(prefix)) {
                files[name] = ReadFile(entry.path().string());
            }
        }
        return files;
    }

    TempDir dir_{"tk358-rotating"};
    int messagesFd_ = -1;
    std::time_t now_ = 1772877510;  // 2026-03-07 09:58:30 UTC
    LogLineOptions options_;
};

TEST_F(RotatingLogTest, MinutePatternGivesAFileAMinuteEachWithItsHeaderAndLosesNoLine) {
    DaemonLog messages("line", messagesFd_, false);
    RotatingLog log(messages, [this] { return now_; });
    log.Configure(Pattern("l-%Y%m%d%H%M.csv"), 0);
    ASSERT_TRUE(log.Open());
    WriteSeconds(log, 150);  // two and a half minutes

    const std::map<std::string, std::string> expected = {{"l-202603070958.csv", "09:58:"},
                                                         {"l-202603070959.csv", "09:59:"},
                                                         {"l-202603071000.csv", "10:00:"}};
    const auto files = Files("l-");
    ASSERT_EQ(files.size(), expected.size());
    int lines = 0;
    for (const auto& [name, minute] : expected) {
        const std::string& text = files.at(name);
        EXPECT_EQ(text.rfind(kHeader, 0), 0u) << name;
        EXPECT_EQ(Count(text, kHeader), 1) << name;
        // Every line is in the file of its own minute.
        const int own = Count(text, minute);
        EXPECT_EQ(own, Count(text, "\r\n") - 1) << name << "\n" << text;
        lines += own;
    }
    EXPECT_EQ(lines, 150);
    EXPECT_EQ(Messages(), "");
}

TEST_F(RotatingLogTest, AFullDiskOrAMissingFolderIsReportedOnceAndLoggingResumes) {
    auto disk = std::make_shared<DiskThatFills>();
    DaemonLog messages("line", messagesFd_, false);
    RotatingLog log(
        messages, [this] { return now_; }, disk);
    std::filesystem::create_directory(dir_.File("d"));
    log.Configure(Pattern("d/l-%H%M.csv"), 0);
    ASSERT_TRUE(log.Open());
    WriteSeconds(log, 10);
    disk->full = true;
    WriteSeconds(log, 120);  // across two changes of the name
    EXPECT_EQ(Count(Messages(), "zabrakło miejsca"), 1) << Messages();
    disk->full = false;
    WriteSeconds(log, 5);
    EXPECT_EQ(Count(Messages(), "znów się udaje"), 1) << Messages();
    EXPECT_EQ(ReadFile(dir_.File("d/l-1000.csv")).rfind(kHeader, 0), 0u);

    std::filesystem::remove_all(dir_.File("d"));
    WriteSeconds(log, 60);  // the next minute's file cannot be made
    EXPECT_EQ(Count(Messages(), "niedostępny"), 1) << Messages();
    std::filesystem::create_directory(dir_.File("d"));
    WriteSeconds(log, 3);
    EXPECT_EQ(Count(Messages(), "znów się udaje"), 2) << Messages();
    const std::string resumed = ReadFile(dir_.File("d/l-1001.csv"));
    EXPECT_EQ(resumed.rfind(kHeader, 0), 0u) << resumed;
    EXPECT_EQ(Count(resumed, "\r\n"), 4);
}

TEST_F(RotatingLogTest, KeepDaysDeletesThePatternsOldFilesAtOpenAndAtEachNewFile) {
    for (const char* name : {"a-2026-03-01.csv", "a-2026-03-02.csv", "a-2026-03-06.csv",
                             "a-2026-03-01.csv.gz", "b-2026-03-01.csv"}) {
        WriteFile(dir_.File(name), "x");
    }
    DaemonLog messages("line", messagesFd_, false);
    RotatingLog log(messages, [this] { return now_; });
    log.Configure(Pattern("a-%F.csv"), 4);  // on 03-07: keeps 03-03 and later
    ASSERT_TRUE(log.Open());
    EXPECT_FALSE(std::filesystem::exists(dir_.File("a-2026-03-01.csv")));
    EXPECT_FALSE(std::filesystem::exists(dir_.File("a-2026-03-02.csv")));
    EXPECT_EQ(Count(Messages(), "usunięty stary plik rejestracji"), 2) << Messages();
    log.WriteLine(options_, Readings());
    now_ += 86400;  // 03-08: 03-04 and later
    log.WriteLine(options_, Readings());
    for (const char* kept : {"a-2026-03-06.csv", "a-2026-03-07.csv", "a-2026-03-08.csv",
                             "a-2026-03-01.csv.gz", "b-2026-03-01.csv"}) {
        EXPECT_TRUE(std::filesystem::exists(dir_.File(kept))) << kept;
    }
}

struct OptionCase {
    std::vector<std::string> args;
    const char* error;  // part of the reason; empty: accepted
};

TEST(DaemonLogOptions, DatedNamesAndKeepDays) {
    const OptionCase cases[] = {
        {{"--log", "/v/l-%Y-%m-%d.csv", "--keep-days", "30"}, ""},
        {{"--log", "/v/l-%F.csv"}, ""},
        {{"--log", "/v/l-%a.csv"}, "log: we wzorcu"},
        {{"--log", "/v/%Y/l.csv"}, "log: wzorzec daty"},
        {{"--log", "/v/l.csv", "--keep-days", "30"}, "keep-days:"},
        {{"--log", "/v/l-%F.csv", "--keep-days", "0"}, "keep-days:"},
        {{"--log", "/v/l-%F.csv", "--keep-days", "x"}, "keep-days:"},
    };
    for (const OptionCase& c : cases) {
        std::vector<std::string> args = {"--port", "COM3"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const DaemonCommand command = ParseDaemonCommandLine(args);
        if (*c.error == '\0') {
            EXPECT_EQ(command.error, "") << c.args.at(1);
        } else {
            EXPECT_EQ(command.error.rfind(c.error, 0), 0u) << c.args.at(1) << ": " << command.error;
        }
    }
}

}  // namespace
}  // namespace tk358
