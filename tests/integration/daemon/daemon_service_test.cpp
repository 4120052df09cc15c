// SPDX-License-Identifier: GPL-3.0-or-later
// tk358d as systemd runs it: readiness and the watchdog through a
// notification socket the test owns, SIGHUP's reload, and dated log files.

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "daemon_fixture.h"
#include "support/notify_socket.h"

namespace tk358::test {
namespace {

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

int AliveCount(const std::vector<std::string>& heard) {
    return static_cast<int>(std::count(heard.begin(), heard.end(), "WATCHDOG=1"));
}

// Waits until the file has `lines` lines (the header's included).
bool WaitForLines(const std::string& path, int lines) {
    for (int i = 0; i < 150 && Count(ReadFile(path), "\r\n") < lines; ++i) {
        std::this_thread::sleep_for(100ms);
    }
    return Count(ReadFile(path), "\r\n") >= lines;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::trunc) << text;
}

class DaemonServiceTest : public DaemonFixture {
protected:
    void SetUp() override {
        DaemonFixture::SetUp();
        if (!IsSkipped() && !HasFatalFailure()) {
            notify_ = std::make_unique<NotifySocket>(dir_ + "/notify");
            ASSERT_TRUE(notify_->Bound());
            env_ = {notify_->Variable(), "WATCHDOG_USEC=1000000"};  // alive every 0.5 s
        }
    }
    std::unique_ptr<NotifySocket> notify_;
};

TEST_F(DaemonServiceTest, WatchdogHearsTheMainLoopWhileItRunsAndThroughABrokerOutage) {
#if !TK358_HAVE_LIBSYSTEMD
    GTEST_SKIP() << "tk358d is built without libsystemd";
#endif
    StartPanel(3);
    StartDaemon();
    ASSERT_TRUE(notify_->WaitFor("READY=1", 20s));
    ASSERT_TRUE(notify_->WaitFor("STATUS=panel: odpowiada, ostatnia odpowiedź ", 20s));
    const std::vector<std::string> heard = notify_->Collect(3s);
    EXPECT_GE(AliveCount(heard), 5);
    const auto statuses = std::count_if(heard.begin(), heard.end(), [](const std::string& m) {
        return m.starts_with("STATUS=panel: odpowiada, ") &&
               m.ends_with("; rejestracja: zapisywana");
    });
    EXPECT_TRUE(statuses >= 1 && statuses <= 4) << statuses;  // with each answer, once a second
    // A stopped main loop says nothing more; a running one resumes at once.
    daemon_->Signal(SIGSTOP);
    notify_->Collect(200ms);  // what was under way
    EXPECT_EQ(AliveCount(notify_->Collect(2500ms)), 0);
    daemon_->Signal(SIGCONT);
    EXPECT_TRUE(notify_->WaitFor("WATCHDOG=1", 1500ms));
    // The broker away is no hang.
    broker_->Stop();
    EXPECT_GE(AliveCount(notify_->Collect(4s)), 7);
    daemon_->Signal(SIGTERM);
    EXPECT_TRUE(notify_->WaitFor("STOPPING=1", 10s));
    EXPECT_EQ(daemon_->Wait(15s), std::optional<int>(0));
}

TEST_F(DaemonServiceTest, SighupReopensTheLogAndTakesNewLogSettingsButNotABadFile) {
    env_.clear();  // nobody reads the socket meanwhile
    StartPanel(0);
    const std::string config = dir_ + "/line.ini";
    const std::string common = "port=COM" + std::to_string(panel_->PortNumber()) +
                               "\nname=line\ninterval=1\nmqtt=" + broker_->Url() + "\n";
    WriteFile(config, common + "log=" + dir_ + "/a.csv\nlog-separator=semicolon\n");
    StartDaemonWith({"--config", config});
    ASSERT_TRUE(WaitForLines(dir_ + "/a.csv", 3)) << Output();

    // logrotate moves the file away and says SIGHUP: a new file with its header.
    ASSERT_EQ(std::rename((dir_ + "/a.csv").c_str(), (dir_ + "/a.csv.1").c_str()), 0);
    daemon_->Signal(SIGHUP);
    EXPECT_TRUE(WaitForLines(dir_ + "/a.csv", 2)) << Output();
    EXPECT_EQ(ReadFile(dir_ + "/a.csv").rfind("Data i Godzina;", 0), 0u);

    // New log settings take effect; the rest waits for a restart.
    WriteFile(config, common + "log=" + dir_ + "/b.csv\nlog-separator=tab\nqos=1\n");
    daemon_->Signal(SIGHUP);
    EXPECT_TRUE(WaitForLines(dir_ + "/b.csv", 2)) << Output();
    EXPECT_EQ(ReadFile(dir_ + "/b.csv").rfind("Data i Godzina\t", 0), 0u);
    EXPECT_EQ(Count(Output(), "po ponownym uruchomieniu"), 1) << Output();

    // A bad file keeps the old settings, with one line saying so.
    WriteFile(config, common + "log=" + dir_ + "/c.csv\nbogus=1\n");
    daemon_->Signal(SIGHUP);
    EXPECT_TRUE(WaitForLines(dir_ + "/b.csv", Count(ReadFile(dir_ + "/b.csv"), "\r\n") + 2));
    EXPECT_EQ(Count(Output(), "obowiązują dotychczasowe ustawienia"), 1) << Output();
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/c.csv"));
    EXPECT_TRUE(daemon_->Running()) << Output();
}

TEST_F(DaemonServiceTest, ADatedNameStartsFilesWithTheirHeaderAndOnlyOldOnesOfThePatternGo) {
    env_.clear();
    const std::time_t dayBefore = std::time(nullptr) - 86400;
    std::tm t{};
    char yesterday[32];
    std::strftime(yesterday, sizeof yesterday, "s-%Y%m%d000000.csv", localtime_r(&dayBefore, &t));
    // The pattern's files more than a day before today go; nothing else does.
    const std::string old = dir_ + "/s-20200101000000.csv";
    const std::vector<std::string> kept = {"s-20200101000000.csv.gz", "t-20200101000000.csv",
                                           "s-20201301000000.csv",    "s-20200230000000.csv",
                                           "s-2020010100000.csv",     yesterday};
    for (const std::string& name : kept) {
        WriteFile(dir_ + "/" + name, "x");
    }
    WriteFile(old, "x");
    std::filesystem::create_directory(dir_ + "/s-20200102000000.csv");
    StartPanel(0);
    // A file a second: every line starts a file of its own.
    StartDaemon({"--log", dir_ + "/s-%Y%m%d%H%M%S.csv", "--keep-days", "1"});
    std::this_thread::sleep_for(11s);  // the first line 6 s after the start
    daemon_->Signal(SIGTERM);
    ASSERT_EQ(daemon_->Wait(15s), std::optional<int>(0));

    int files = 0;
    int lines = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == 20 && name.starts_with("s-2") && name.substr(10, 6) != "000000") {
            const std::string text = ReadFile(entry.path().string());
            EXPECT_EQ(text.rfind("Data i Godzina;", 0), 0u) << name;
            EXPECT_EQ(Count(text, "Data i Godzina"), 1) << name;
            ++files;
            lines += Count(text, "\r\n") - 1;
        }
    }
    EXPECT_GE(files, 4);
    EXPECT_EQ(lines, files);
    EXPECT_FALSE(std::filesystem::exists(old));
    for (const std::string& name : kept) {
        EXPECT_TRUE(std::filesystem::exists(dir_ + "/" + name)) << name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir_ + "/s-20200102000000.csv"));
}

}  // namespace
}  // namespace tk358::test
