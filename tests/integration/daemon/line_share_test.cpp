// SPDX-License-Identifier: GPL-3.0-or-later
// tk358d's shared line end to end: a simulated panel on a pseudo-terminal,
// the daemon's session with its LineShare, and the program's own session as
// the client through a COMn link to the socket, next to the same client on a
// direct line to an identical panel.

#include "daemon/line_share.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "backup/backup_cli.h"
#include "daemon/client_request.h"
#include "link/serial_port.h"
#include "link/shared_line_socket.h"
#include "session_fixture.h"
#include "support/panel_session_probe.h"
#include "support/temp_dir.h"

namespace tk358::test {
namespace {

namespace fs = std::filesystem;

constexpr int kSharedPanel = 221;
constexpr int kDirectPanel = 222;
constexpr int kSharedLink = 223;

std::unique_ptr<sim::PtySimulator> StartPanel(int port) {
    sim::PtySimulatorOptions options;
    options.panel = sim::DefaultConfig(3);
    options.panel.statusPeriod = 100ms;
    options.portNumber = port;
    options.portDirectory = TestPortDirectory();
    auto panel = std::make_unique<sim::PtySimulator>(options);
    std::string error;
    EXPECT_TRUE(panel->Start(&error)) << error;
    return panel;
}

// The lines the panel received, bytes as they came.
std::vector<std::string> Lines(const sim::PtySimulator& panel) {
    std::vector<std::string> lines;
    for (const sim::RecordedFrame& frame : panel.Frames()) {
        lines.push_back(frame.line);
    }
    return lines;
}

bool StartSequenceDone(PanelSession& session, int port) {
    const int before = PanelSessionProbe::CompletedStartSequences(session);
    return session.Open(port) &&
           WaitUntil([&] { return PanelSessionProbe::CompletedStartSequences(session) > before; },
                     10s);
}

// The parameter file without its date line.
std::string Backup(int port, const std::string& file) {
    std::FILE* out = std::tmpfile();
    BackupConsole console{out, out, out, false, "test", 5000ms, {}};
    PanelSession session(QuickTiming());
    EXPECT_EQ(RunBackupCommand({BackupAction::kBackup, port, file, false}, session, console), 0);
    std::fclose(out);
    std::string text = ReadFile(file);
    const std::size_t date = text.find("DATE=");
    return date == std::string::npos ? text : text.erase(date, text.find('\n', date) - date);
}

// The answers and refusals among the lines that reach a client.
bool AnswerOrRefusal(std::string_view line) {
    return IsAnswerLine(line) || !RefusedCommand(line).empty();
}

std::string ReadRequest(int code) {
    return std::string(BuildRequest("028600", HexText(static_cast<uint32_t>(code), 4)).Text());
}

// A bare client port: what it sends goes out as given, several requests at
// once; the answers and refusals it receives are kept in order.
struct Inbox : ByteReceiver {
    void OnByteReceived(char byte) override {
        std::lock_guard<std::mutex> lock(mutex);
        line += byte;
        if (line.ends_with("\r\n")) {
            if (AnswerOrRefusal(line)) {
                kept.push_back(line);
            }
            line.clear();
        }
    }
    std::vector<std::string> Take(std::size_t count) {
        WaitUntil(
            [&] {
                std::lock_guard<std::mutex> lock(mutex);
                return kept.size() >= count;
            },
            5s);
        std::lock_guard<std::mutex> lock(mutex);
        return std::exchange(kept, {});
    }
    std::mutex mutex;
    std::string line;
    std::vector<std::string> kept;
};

class LineShareTest : public ::testing::Test {
protected:
    virtual bool ReadOnly() const { return false; }
    void SetUp() override {
        panel_ = StartPanel(kSharedPanel);
        ASSERT_TRUE(StartSequenceDone(daemon_, kSharedPanel));
        socket_ = dir_.File("line1.sock");
        share_ =
            std::make_unique<LineShare>(daemon_, log_, LineShareSettings{socket_, "", ReadOnly()});
        std::string error;
        ASSERT_TRUE(share_->Start(&error)) << error;
        link_ = TestPortDirectory() + "/COM" + std::to_string(kSharedLink);
        fs::create_symlink(socket_, link_);
        panel_->ClearFrames();
    }
    void TearDown() override {
        share_->Stop();
        fs::remove(link_);
        daemon_.Close();
        close(logFd_);
    }
    std::string LogText() { return ReadFile(dir_.File("tk358d.log")); }

    TempDir dir_{"tk358-share"};
    std::unique_ptr<sim::PtySimulator> panel_;
    PanelSession daemon_{QuickTiming()};
    int logFd_ = open(dir_.File("tk358d.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    DaemonLog log_{"line", logFd_, false};
    std::unique_ptr<LineShare> share_;
    std::string socket_;
    std::string link_;
};

class LineShareReadOnlyTest : public LineShareTest {
protected:
    bool ReadOnly() const override { return true; }
};

TEST_F(LineShareTest, TheClientReachesThePanelAsOnADirectLine) {
    auto direct = StartPanel(kDirectPanel);
    std::vector<std::string> onTheLine;
    {
        PanelSession alone(QuickTiming());
        ASSERT_TRUE(StartSequenceDone(alone, kDirectPanel));
        ASSERT_EQ(alone.WritePidParameters(150, 240, 30, 60, 0), kStatusOk);
        onTheLine = Lines(*direct);
    }
    PanelSession client(QuickTiming());
    ASSERT_TRUE(StartSequenceDone(client, kSharedLink));
    ASSERT_EQ(client.WritePidParameters(150, 240, 30, 60, 0), kStatusOk);
    EXPECT_EQ(Lines(*panel_), onTheLine);
    EXPECT_TRUE(WaitUntil(  // the status lines reach the client
        [&] {
            TemperatureReading temperature;
            client.GetTemperature(temperature);
            return temperature.valid != 0;
        },
        2s));

    // The client's goodbye switches monitoring off: answered, never sent.
    client.Close();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Lines(*panel_), onTheLine);
    EXPECT_TRUE(panel_->WithPanel([](sim::SimPanel& p) { return p.Monitoring(); }));
    const std::string log = LogText();
    EXPECT_NE(log.find("zapis klienta: 028700 parametr 129, bajt 0 = 00 (0)"), std::string::npos)
        << log;
    EXPECT_NE(log.find("wyłącza tryb monitorowania"), std::string::npos) << log;
}

// A client moved from a TK-358W on a line of its own to the shared line, whose
// status lines flow from the first moment: it takes the shared panel as a new
// one and writes it with that panel's codes.
TEST_F(LineShareTest, AClientMovedToTheSharedLineIdentifiesItsPanel) {
    RigOptions options;
    options.comPort = kSharedLink + 1;
    options.timing.cycle = 300ms;  // the shared line has talked before the first look
    SessionRig direct(2, options);
    ASSERT_TRUE(direct.Start());
    PanelSession& client = direct.session;
    ASSERT_TRUE(
        WaitUntil([&] { return PanelSessionProbe::CompletedStartSequences(client) == 1; }, 2s));
    client.Close();
    ASSERT_TRUE(StartSequenceDone(client, kSharedLink));
    PanelIdentity id;
    client.GetIdentity(id);
    EXPECT_EQ(id.deviceType, kDualZoneController);
    EXPECT_EQ(client.WritePidParameters(150, 240, 30, 60, 0), kStatusOk);
    EXPECT_EQ(panel_->Parameter(128), 150);  // the first zone's Kp
}

TEST_F(LineShareTest, ABackupThroughTheSocketEqualsADirectOne) {
    auto direct = StartPanel(kDirectPanel);
    EXPECT_EQ(Backup(kSharedLink, dir_.File("shared.tk358par")),
              Backup(kDirectPanel, dir_.File("direct.tk358par")));
}

TEST_F(LineShareTest, OneClientAtATimeAndNoHalfLine) {
    PanelSession first(QuickTiming());
    ASSERT_TRUE(first.Open(kSharedLink));
    PanelSession second(QuickTiming());
    EXPECT_FALSE(second.Open(kSharedLink));
    EXPECT_EQ(second.LastOpenError(), EBUSY);
    second.Close();
    first.Close();

    // A client killed half-way through a parameter write.
    const pid_t child = fork();
    if (child == 0) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, link_.c_str(), sizeof address.sun_path - 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            (void)!write(fd, "028700008A01", 12);
        }
        usleep(100000);
        kill(getpid(), SIGKILL);
    }
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    std::this_thread::sleep_for(200ms);
    for (const std::string& line : Lines(*panel_)) {
        EXPECT_EQ(line.rfind("0287", 0), std::string::npos) << line;
    }
    // The panel and the line serve the next client as before.
    PanelSession next(QuickTiming());
    EXPECT_TRUE(StartSequenceDone(next, kSharedLink));
    next.Close();
    const std::string log = LogText();
    EXPECT_NE(log.find("odrzucono drugiego klienta"), std::string::npos) << log;
    EXPECT_NE(log.find("niedokończonej linii nie wysłano"), std::string::npos) << log;
}

bool OpenBarePort(SerialPort& port, Inbox& inbox) {
    return port.Open(&inbox, kSharedLink, 9600, 'N', 8, 1, kEventRxChar, 512) && port.StartReader();
}

void Send(SerialPort& port, const std::string& bytes) {
    port.Send(bytes.data(), static_cast<int>(bytes.size()));
}

// Requests written one after another without waiting are carried in turn;
// past the limit the client is told, in its turn, that one was refused.
TEST_F(LineShareTest, PipelinedRequestsAreAnsweredInOrderAndTheNinthRefused) {
    panel_->SetTurnaround(100ms);  // the ninth arrives while the first is still out
    Inbox inbox;
    SerialPort port;
    ASSERT_TRUE(OpenBarePort(port, inbox));
    std::string burst;
    for (int code = 0x81; code <= 0x89; ++code) {
        burst += ReadRequest(code);
    }
    Send(port, burst);
    const std::vector<std::string> lines = inbox.Take(9);
    ASSERT_EQ(lines.size(), 9u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(lines[i].substr(0, 11), "028600:" + HexText(0x81 + i, 4)) << lines[i];
    }
    EXPECT_EQ(lines[8], "028600!KOLEJKA-PELNA\r\n");
    EXPECT_EQ(Lines(*panel_).size(), 8u);
    // Once answered, the client may send as many again.
    Send(port, ReadRequest(0x8A) + ReadRequest(0x8B));
    EXPECT_EQ(inbox.Take(2).at(1).substr(0, 11), "028600:008B");  // throws when missing
    const std::string log = LogText();
    EXPECT_NE(log.find("zapis przez gniazdo: dozwolony"), std::string::npos) << log;
    EXPECT_NE(log.find("żądanie klienta 028600 odrzucone"), std::string::npos) << log;
}

// A client that never waits for its answers is cut off before its lines pile up.
TEST_F(LineShareTest, AClientThatFloodsTheLineIsCutOff) {
    panel_->SetTurnaround(100ms);
    Inbox inbox;
    SerialPort port;
    ASSERT_TRUE(OpenBarePort(port, inbox));
    std::string some;
    for (int i = 0; i < 17; ++i) {
        some += ReadRequest(0x84);
    }
    // A frame the port has not written yet is replaced by the next: send on.
    for (int i = 0; i < 40 && !port.DeviceLost(); ++i) {
        Send(port, some);
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(WaitUntil([&] { return port.DeviceLost(); }, 1s));
}

// A write is refused with a line the client sees, and the program's own
// session fails the write at once, not after its time-outs.
TEST_F(LineShareReadOnlyTest, WritesAreRefusedVisibly) {
    SessionTiming patient = QuickTiming();
    patient.answerWait = 3s;  // a write waiting for time-outs would take 5 x 3 s
    PanelSession client(patient);
    ASSERT_TRUE(StartSequenceDone(client, kSharedLink));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.WriteSetpoint(2345, 0), kStatusFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    client.Close();
    for (const std::string& line : Lines(*panel_)) {
        EXPECT_EQ(line.rfind("0287", 0), std::string::npos) << line;
    }
    EXPECT_NE(LogText().find("zapis przez gniazdo: zablokowany (--share-read-only)"),
              std::string::npos);
}

}  // namespace
}  // namespace tk358::test
