// tk358d as systemd runs it: readiness and the watchdog through a
// notification socket the test owns, SIGHUP's reload, and dated log files.

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "daemon_fixture.h"
#include "support/notify_socket.h"
#include "support/temp_dir.h"

namespace tk358::test {
namespace {

int AliveCount(const std::vector<NotifySocket::Message>& messages) {
    return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                          [](const auto& m) { return m.text == "WATCHDOG=1"; }));
}

// CR LF ends each line, the header's too.
int Lines(const std::string& text) {
    int n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2)) {
        ++n;
    }
    return n;
}

// Waits until the file has `lines` lines.
bool WaitForLines(const std::string& path, int lines, std::chrono::seconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (Lines(ReadFile(path)) < lines) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

class DaemonServiceTest : public DaemonFixture {
protected:
    void SetUp() override {
        DaemonFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        notify_ = std::make_unique<NotifySocket>(dir_ + "/notify");
        ASSERT_TRUE(notify_->Bound());
        // WATCHDOG=1 is due every half of this.
        env_ = {notify_->Variable(), "WATCHDOG_USEC=1000000"};
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

    std::vector<NotifySocket::Message> heard = notify_->Collect(3s);
    EXPECT_GE(AliveCount(heard), 5);
    for (std::size_t i = 1; i < heard.size(); ++i) {
        EXPECT_LT(heard[i].at - heard[i - 1].at, 900ms);
    }

    // A stopped main loop says nothing more; a running one resumes at once.
    daemon_->Signal(SIGSTOP);
    notify_->Collect(200ms);  // what was under way
    EXPECT_EQ(AliveCount(notify_->Collect(2500ms)), 0);
    daemon_->Signal(SIGCONT);
    EXPECT_TRUE(notify_->WaitFor("WATCHDOG=1", 1500ms));

    // The broker away is no hang.
    broker_->Stop();
    heard = notify_->Collect(4s);
    EXPECT_GE(AliveCount(heard), 7);

    daemon_->Signal(SIGTERM);
    EXPECT_TRUE(notify_->WaitFor("STOPPING=1", 10s));
    EXPECT_EQ(daemon_->Wait(15s), std::optional<int>(0));
}

TEST_F(DaemonServiceTest, SighupReopensTheLogAndTakesNewLogSettingsButNotABadFile) {
    StartPanel(0);
    const std::string config = dir_ + "/line.ini";
    const std::string common = "port=COM" + std::to_string(panel_->PortNumber()) +
                               "\nname=line\nmqtt=" + broker_->Url() + "\ninterval=1\n";
    WriteFile(config, common + "log=" + dir_ + "/a.csv\nlog-separator=semicolon\n");
    StartDaemonWith({"--config", config});
    ASSERT_TRUE(WaitForLines(dir_ + "/a.csv", 3, 20s)) << Output();

    // logrotate moves the file away and says SIGHUP: a new file with its header.
    ASSERT_EQ(std::rename((dir_ + "/a.csv").c_str(), (dir_ + "/a.csv.1").c_str()), 0);
    daemon_->Signal(SIGHUP);
    EXPECT_TRUE(WaitForLines(dir_ + "/a.csv", 2, 5s)) << Output();
    const std::string rotated = ReadFile(dir_ + "/a.csv.1");
    EXPECT_EQ(ReadFile(dir_ + "/a.csv").rfind("Data i Godzina;", 0), 0u);

    // New log settings take effect; the rest waits for a restart.
    WriteFile(config, common + "log=" + dir_ + "/b.csv\nlog-separator=tab\nqos=1\n");
    daemon_->Signal(SIGHUP);
    EXPECT_TRUE(WaitForLines(dir_ + "/b.csv", 2, 5s)) << Output();
    EXPECT_EQ(ReadFile(dir_ + "/b.csv").rfind("Data i Godzina\t", 0), 0u);
    EXPECT_EQ(Count(Output(), "po ponownym uruchomieniu"), 1) << Output();
    const std::string a = ReadFile(dir_ + "/a.csv");

    // A bad file keeps the old settings, with one line saying so.
    WriteFile(config, common + "log=" + dir_ + "/c.csv\nbogus=1\n");
    daemon_->Signal(SIGHUP);
    const int before = Lines(ReadFile(dir_ + "/b.csv"));
    EXPECT_TRUE(WaitForLines(dir_ + "/b.csv", before + 2, 5s)) << Output();
    EXPECT_EQ(Count(Output(), "obowiązują dotychczasowe ustawienia"), 1) << Output();
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/c.csv"));
    EXPECT_EQ(ReadFile(dir_ + "/a.csv.1"), rotated);
    EXPECT_EQ(ReadFile(dir_ + "/a.csv"), a);
    EXPECT_TRUE(daemon_->Running());
    EXPECT_EQ(Count(Output(), "kończę pracę"), 0);
}

TEST_F(DaemonServiceTest, ADatedNameStartsFilesWithTheirHeaderAndOnlyOldOnesOfThePatternGo) {
    const char* old = "s-20200101000000.csv";
    const char* decoys[] = {"s-20200101000000.csv.gz", "t-20200101000000.csv", "s-2020.csv",
                            "s-20201301000000.csv"};
    WriteFile(dir_ + "/" + old, "old\r\n");
    for (const char* decoy : decoys) {
        WriteFile(dir_ + "/" + decoy, "keep\r\n");
    }
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
        if (name.size() != 20 || !name.starts_with("s-2") || name.starts_with("s-2020")) {
            continue;
        }
        const std::string text = ReadFile(entry.path().string());
        EXPECT_EQ(text.rfind("Data i Godzina;", 0), 0u) << name;
        EXPECT_EQ(Count(text, "Data i Godzina"), 1) << name;
        ++files;
        lines += Lines(text) - 1;
    }
    EXPECT_GE(files, 3);
    EXPECT_GE(lines, 4);
    EXPECT_LE(lines, 6);  // none lost, none twice: one a second for 5 s
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/" + old));
    for (const char* decoy : decoys) {
        EXPECT_EQ(ReadFile(dir_ + "/" + decoy), "keep\r\n") << decoy;
    }
}

}  // namespace
}  // namespace tk358::test
