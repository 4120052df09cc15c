// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated panel on a real pseudo-terminal, reached by the program's
// serial port through its COMn registration.

#include "sim/pty_simulator.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

#include "link/serial_port.h"
#include "sim/panel_calendar.h"
#include "support/temp_dir.h"

namespace tk358::sim {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Collects what the port receives and tells when a line has come.
class Collector : public ByteReceiver {
public:
    void OnByteReceived(char byte) override {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes_ += byte;
        if (byte == '\n') {
            lastLineAt_ = Clock::now();
        }
        changed_.notify_all();
    }

    // Waits for a complete line that begins with `prefix`; empty on time-out.
    std::string WaitLine(const std::string& prefix, std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(mutex_);
        std::string line;
        changed_.wait_for(lock, limit, [&] {
            const std::size_t start = bytes_.find(prefix);
            const std::size_t end = start == std::string::npos ? start : bytes_.find("\r\n", start);
            if (end == std::string::npos) {
                return false;
            }
            line = bytes_.substr(start, end + 2 - start);
            return true;
        });
        return line;
    }

    std::size_t Count(const std::string& prefix) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::size_t n = 0;
        for (std::size_t at = bytes_.find(prefix); at != std::string::npos;
             at = bytes_.find(prefix, at + 1)) {
            ++n;
        }
        return n;
    }

    Clock::time_point LastLineAt() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lastLineAt_;
    }

    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes_.clear();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string bytes_;
    Clock::time_point lastLineAt_;
};

class PtySimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp_.Path().empty());
        root_ = temp_.Path().string();
        ports_ = root_ + "/run/ports";  // not there yet: the simulator makes it
        // Set before any thread starts; the port finds COMn through it.
        setenv("TK358_PORT_DIR", ports_.c_str(), 1);
    }

    PtySimulatorOptions Options(int kind = kKindDualZone) const {
        PtySimulatorOptions options;
        options.panel = DefaultConfig(kind);
        return options;
    }

    bool OpenPort(SerialPort& port, Collector& collector, int number) {
        return port.Open(&collector, number, 9600, 'N', 8, 1, kEventRxChar, 512) &&
               port.StartReader();
    }

    static void Send(SerialPort& port, std::string_view code, std::string_view data = {}) {
        const RequestFrame frame = BuildRequest(code, data);
        port.Send(frame.bytes.data(), frame.length);
    }

    test::TempDir temp_{"tk358-sim-test"};
    std::string root_;
    std::string ports_;
};

TEST_F(PtySimulatorTest, RegistersAnswersAndUnregisters) {
    PtySimulator simulator(Options());
    std::string error;
    ASSERT_TRUE(simulator.Start(&error)) << error;
    EXPECT_EQ(simulator.PortNumber(), kFirstSimulatedPort);
    EXPECT_EQ(simulator.LinkPath(), ports_ + "/COM200");
    EXPECT_EQ(fs::read_symlink(simulator.LinkPath()).string(), simulator.DevicePath());
    const uint32_t clock = simulator.WithPanel([](SimPanel& p) { return p.ClockSeconds(); });
    EXPECT_LE(PanelSecondsNow() - clock, 2u) << "the clock starts at the local time";

    PtySimulator second(Options(kKindThreshold));
    ASSERT_TRUE(second.Start(&error)) << error;
    EXPECT_EQ(second.PortNumber(), 201) << "the next free number";

    Collector collector;  // outlives the port's reader
    SerialPort port;
    ASSERT_TRUE(OpenPort(port, collector, simulator.PortNumber()));
    Send(port, "020A00");
    EXPECT_EQ(collector.WaitLine("020A00:", 2s), "020A00:0358:05010700000000:0C21:00005F\r\n");
    ASSERT_TRUE(simulator.WaitForFrames(1, 2s));
    EXPECT_EQ(simulator.Frames().front().line, "020A00F4\r\n");

    const std::string link = simulator.LinkPath();
    simulator.Stop();
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_TRUE(fs::exists(fs::symlink_status(second.LinkPath())));
}

TEST_F(PtySimulatorTest, TakenOrStaleNumbers) {
    fs::create_directories(ports_);
    fs::create_symlink("/dev/null", ports_ + "/COM7");
    fs::create_symlink(root_ + "/gone", ports_ + "/COM8");  // left by a killed simulator

    PtySimulatorOptions options = Options();
    options.portNumber = 7;
    PtySimulator taken(options);
    std::string error;
    EXPECT_FALSE(taken.Start(&error));
    EXPECT_NE(error.find("COM7"), std::string::npos) << error;
    EXPECT_EQ(fs::read_symlink(ports_ + "/COM7"), "/dev/null");

    options.portNumber = 8;
    PtySimulator stale(options);
    ASSERT_TRUE(stale.Start(&error)) << error;
    EXPECT_EQ(fs::read_symlink(ports_ + "/COM8").string(), stale.DevicePath());
}

TEST_F(PtySimulatorTest, PacingTakesAByteTimePerByte) {
    PtySimulatorOptions options = Options();
    options.pace = true;
    options.turnaround = 20ms;
    PtySimulator simulator(options);
    ASSERT_TRUE(simulator.Start());
    Collector collector;  // outlives the port's reader
    SerialPort port;
    ASSERT_TRUE(OpenPort(port, collector, simulator.PortNumber()));

    const auto sent = Clock::now();
    Send(port, "020A00");
    ASSERT_EQ(collector.WaitLine("020A00:", 2s).size(), 40u);
    // 40 bytes at 9600 baud are 41.7 ms, after the 20 ms turn-around.
    EXPECT_GE(collector.LastLineAt() - sent, 60ms);
}

TEST_F(PtySimulatorTest, StatusLinesArriveUnrequestedWhileMonitoring) {
    PtySimulatorOptions options = Options(kKindThreshold);
    options.panel.statusPeriod = 100ms;
    PtySimulator simulator(options);
    ASSERT_TRUE(simulator.Start());
    Collector collector;  // outlives the port's reader
    SerialPort port;
    ASSERT_TRUE(OpenPort(port, collector, simulator.PortNumber()));
    Send(port, "023000", "0051");
    ASSERT_FALSE(collector.WaitLine("023000:", 2s).empty());
    EXPECT_FALSE(collector.WaitLine("029500:", 2s).empty());
    Send(port, "023000", "0000");
    ASSERT_FALSE(collector.WaitLine("023000:0000", 2s).empty());
    std::this_thread::sleep_for(150ms);  // a burst may have been on its way
    const std::size_t count = collector.Count("020200:");
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(collector.Count("020200:"), count);
}

TEST_F(PtySimulatorTest, SurvivesTheProgramClosingAndReopeningItsSide) {
    PtySimulator simulator(Options());
    ASSERT_TRUE(simulator.Start());
    Collector collector;
    for (int round = 0; round < 3; ++round) {
        SerialPort port;
        ASSERT_TRUE(OpenPort(port, collector, simulator.PortNumber())) << round;
        collector.Clear();
        Send(port, "050100");
        EXPECT_FALSE(collector.WaitLine("050100:", 2s).empty()) << round;
    }
    EXPECT_EQ(simulator.Frames().size(), 3u);
}

TEST_F(PtySimulatorTest, ClearsAnExclusiveMarkLeftBehind) {
    PtySimulator simulator(Options());
    ASSERT_TRUE(simulator.Start());
    const int fd = open(simulator.DevicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ioctl(fd, TIOCEXCL), 0);
    close(fd);  // ended without TIOCNXCL, as a crashed program would
    const int probe = open(simulator.DevicePath().c_str(), O_RDWR | O_NOCTTY);  // root may
    ASSERT_GE(probe, 0);
    int exclusive = 1;
    for (int i = 0; i < 100 && exclusive != 0; ++i) {
        std::this_thread::sleep_for(10ms);
        ASSERT_EQ(ioctl(probe, TIOCGEXCL, &exclusive), 0);
    }
    close(probe);
    EXPECT_EQ(exclusive, 0);
}

TEST_F(PtySimulatorTest, VanishesAndReappearsUnderTheSameNumber) {
    PtySimulator simulator(Options());
    ASSERT_TRUE(simulator.Start());
    const int number = simulator.PortNumber();
    Collector collector;  // outlives the port's reader
    SerialPort port;
    ASSERT_TRUE(OpenPort(port, collector, number));

    simulator.Vanish();
    EXPECT_TRUE(simulator.Vanished());
    EXPECT_FALSE(fs::exists(fs::symlink_status(ports_ + "/COM" + std::to_string(number))));
    const auto limit = Clock::now() + 2s;
    while (!port.DeviceLost() && Clock::now() < limit) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(port.DeviceLost());

    std::string error;
    ASSERT_TRUE(simulator.Reappear(&error)) << error;
    EXPECT_EQ(simulator.PortNumber(), number);
    Collector fresh;
    SerialPort again;
    ASSERT_TRUE(OpenPort(again, fresh, number));
    Send(again, "020A00");
    EXPECT_FALSE(fresh.WaitLine("020A00:", 2s).empty());
}

TEST_F(PtySimulatorTest, ControlCallsFromAnotherThreadReachThePanel) {
    PtySimulator simulator(Options(kKindThreshold));
    ASSERT_TRUE(simulator.Start());
    Collector collector;  // outlives the port's reader
    SerialPort port;
    ASSERT_TRUE(OpenPort(port, collector, simulator.PortNumber()));
    ASSERT_TRUE(simulator.SetParameter(90, -2000));
    Send(port, "028600", "005A");
    EXPECT_EQ(collector.WaitLine("028600:", 2s), "028600:005A:00:82:F83074\r\n");

    FaultSettings faults;
    faults.busyPanelInfo = true;
    simulator.SetFaults(faults);
    Send(port, "050100");
    EXPECT_EQ(collector.WaitLine("050100:", 2s).substr(0, 10), "050100:01:");

    simulator.SilenceUntilResumed();
    collector.Clear();
    Send(port, "020A00");
    ASSERT_TRUE(simulator.WaitForFrames(3, 2s));
    EXPECT_TRUE(collector.WaitLine("020A00:", 200ms).empty());
    simulator.Resume();
    Send(port, "020A00");
    EXPECT_FALSE(collector.WaitLine("020A00:", 2s).empty());
}

}  // namespace
}  // namespace tk358::sim
