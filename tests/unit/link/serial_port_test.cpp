// SPDX-License-Identifier: GPL-3.0-or-later
// SerialPort against real pseudo-terminal pairs: the port opens the slave
// through a COMn link in a temporary port directory, the test plays the panel
// on the master side.

#include "link/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "link/manual_reset_event.h"
#include "support/serial_port_probe.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

int ThreadCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

class Pty {
public:
    Pty() {
        char name[128] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            slavePath_ = name;
        }
    }
    ~Pty() {
        CloseMaster();
        close(slave_);
    }

    const std::string& SlavePath() const { return slavePath_; }
    int Slave() const { return slave_; }

    void CloseMaster() {
        if (master_ >= 0) {
            close(master_);
            master_ = -1;
        }
    }

    void Write(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
            ASSERT_TRUE(n > 0 || errno == EINTR || errno == EAGAIN) << errno;
            done += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
    }

    // Reads until `count` bytes arrived or two seconds passed.
    std::string Read(std::size_t count) {
        std::string bytes;
        const auto end = std::chrono::steady_clock::now() + 2s;
        while (bytes.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd fd{master_, POLLIN, 0};
            if (poll(&fd, 1, 50) <= 0) {
                continue;
            }
            char chunk[256];
            const ssize_t n = read(master_, chunk, sizeof chunk);
            if (n > 0) {
                bytes.append(chunk, static_cast<std::size_t>(n));
            }
        }
        return bytes;
    }

    // Bytes waiting in the slave's input queue.
    int Queued() const {
        int n = 0;
        ioctl(slave_, FIONREAD, &n);
        return n;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

class Collector : public ByteReceiver {
public:
    // While gated, each byte waits in OnByteReceived until `release` is set.
    explicit Collector(bool gated = false) : gated_(gated) {}

    void OnByteReceived(char byte) override {
        if (gated_) {
            entered.Set();
            release.Wait();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        bytes_ += byte;
        changed_.notify_all();
    }

    bool WaitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return bytes_.size() >= count; });
    }

    std::string Bytes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return bytes_;
    }

    ManualResetEvent entered;
    ManualResetEvent release;

private:
    const bool gated_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string bytes_;
};

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp_.Path().empty());
        dir_ = temp_.Path().string();
        setenv("TK358_PORT_DIR", dir_.c_str(), 1);
        // A sanitizer runtime starts its own helper thread with the first thread.
        std::thread([] {}).join();
        baseThreads_ = ThreadCount();
    }
    void TearDown() override { unsetenv("TK358_PORT_DIR"); }

    void Link(int number, const std::string& path) {
        fs::create_symlink(path, dir_ + "/COM" + std::to_string(number));
    }

    static bool OpenSession(SerialPort& port, ByteReceiver& rx, int number) {
        return port.Open(&rx, number, 9600, 'N', 8, 1, kEventRxChar, 512);
    }

    bool ThreadsBackToBase() const {
        return WaitUntil([&] { return ThreadCount() == baseThreads_; }, 1000ms);
    }

    test::TempDir temp_{"tk358-serial"};
    std::string dir_;
    int baseThreads_ = 0;
};

TEST_F(SerialPortTest, AppliesRawModeWithoutFlowControl) {
    // A pseudo-terminal keeps CS8 without parity whatever is asked; speed and
    // stop bits are kept as set.
    struct Case {
        int baud;
        int stopBits;
        speed_t speed;
        tcflag_t stopBit;
    };
    const Case cases[] = {{9600, 1, B9600, 0}, {19200, 2, B19200, CSTOPB}, {4800, 1, B4800, 0}};
    for (const Case& c : cases) {
        Pty pty;
        Link(5, pty.SlavePath());
        Collector rx;
        SerialPort port;
        ASSERT_TRUE(port.Open(&rx, 5, c.baud, 'N', 8, c.stopBits, kEventRxChar, 512));
        termios t{};
        ASSERT_EQ(tcgetattr(pty.Slave(), &t), 0);
        EXPECT_EQ(cfgetispeed(&t), c.speed);
        EXPECT_EQ(cfgetospeed(&t), c.speed);
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD), 0u);
        EXPECT_EQ(t.c_cflag & CSTOPB, c.stopBit);
        EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);
        EXPECT_EQ(t.c_cc[VMIN], 0);
        EXPECT_EQ(t.c_cc[VTIME], 0);
        EXPECT_EQ(port.LastOpenError(), 0);
        fs::remove(dir_ + "/COM5");
    }
}

TEST_F(SerialPortTest, BurstArrivesCompleteAndInOrder) {
    Pty pty;
    Link(7, pty.SlavePath());
    Collector rx;
    SerialPort port;
    ASSERT_TRUE(OpenSession(port, rx, 7));
    ASSERT_TRUE(port.StartReader());
    std::string burst;
    for (int i = 0; i < 2048; ++i) {
        burst += static_cast<char>((i * 7 + i / 256) & 0xFF);
    }
    pty.Write(burst);
    ASSERT_TRUE(rx.WaitFor(burst.size()));
    EXPECT_EQ(rx.Bytes(), burst);
}

TEST_F(SerialPortTest, SendPurgesStaleInputThenWritesTheFrame) {
    Pty pty;
    Link(2, pty.SlavePath());
    Collector rx;
    SerialPort port;
    std::atomic<bool> staleQueued{false};
    // Stale bytes land in the input queue after the reader's last read and
    // before the write is served: the purge must throw them away.
    test::SerialPortProbe::SetBeforePurgeHook(port, [&] {
        pty.Write("STALE\r\n");
        staleQueued = WaitUntil([&] { return pty.Queued() >= 7; }, 2000ms);
    });
    ASSERT_TRUE(OpenSession(port, rx, 2));
    ASSERT_TRUE(port.StartReader());

    const RequestFrame frame = BuildRequest("020A00");
    port.Send(frame.bytes.data(), frame.length);
    EXPECT_EQ(pty.Read(10), "020A00F4\r\n");
    ASSERT_TRUE(staleQueued);

    pty.Write("020A00:OK\r\n");
    ASSERT_TRUE(rx.WaitFor(11));
    EXPECT_EQ(rx.Bytes(), "020A00:OK\r\n");
}

TEST_F(SerialPortTest, LongFrameIsWrittenWhole) {
    Pty pty;
    Link(3, pty.SlavePath());
    Collector rx;
    SerialPort port;
    ASSERT_TRUE(OpenSession(port, rx, 3));
    ASSERT_TRUE(port.StartReader());
    const RequestFrame frame = BuildRequest("02", std::string(250, 'A'));
    ASSERT_EQ(frame.length, 256);
    port.Send(frame.bytes.data(), frame.length);
    EXPECT_EQ(pty.Read(256), frame.Text());
}

TEST_F(SerialPortTest, PortThatCannotBeOpenedFailsWithoutThread) {
    Link(4, dir_ + "/gone");  // a simulated panel that has ended
    // No terminal behind the link: /dev/zero would keep the reader busy for
    // ever, a FIFO would hand our own requests back as answers.
    Link(12, "/dev/zero");
    ASSERT_EQ(mkfifo((dir_ + "/fifo").c_str(), 0600), 0);
    Link(13, dir_ + "/fifo");
    { std::ofstream(dir_ + "/file") << "020A00:OK\r\n"; }
    Link(14, dir_ + "/file");
    Pty pty;
    Link(6, pty.SlavePath());
    struct Case {
        int number;
        int error;
    };
    const Case cases[] = {{4, ENOENT},  {200, ENOENT}, {0, ENOENT},  {256, ENOENT},
                          {-3, ENOENT}, {12, ENOTTY},  {13, ENOTTY}, {14, ENOTTY}};
    for (const Case& c : cases) {
        Collector rx;
        SerialPort port;
        ASSERT_TRUE(OpenSession(port, rx, 6));
        ASSERT_TRUE(port.StartReader());
        // A failed Open stops the reader of the device opened before.
        EXPECT_FALSE(OpenSession(port, rx, c.number)) << c.number;
        EXPECT_EQ(port.LastOpenError(), c.error) << c.number;
        EXPECT_FALSE(test::SerialPortProbe::ReaderRunning(port));
        EXPECT_FALSE(port.StartReader());
        EXPECT_TRUE(ThreadsBackToBase()) << c.number;
    }
}

TEST_F(SerialPortTest, SecondOpenStopsTheFirstReader) {
    Pty first;
    Pty second;
    Link(1, first.SlavePath());
    Link(2, second.SlavePath());
    Collector rx;
    SerialPort port;
    ASSERT_TRUE(OpenSession(port, rx, 1));
    ASSERT_TRUE(port.StartReader());
    EXPECT_EQ(ThreadCount(), baseThreads_ + 1);

    ASSERT_TRUE(OpenSession(port, rx, 2));
    EXPECT_FALSE(test::SerialPortProbe::ReaderRunning(port));
    EXPECT_TRUE(ThreadsBackToBase());
    EXPECT_EQ(test::SerialPortProbe::DevicePath(port), dir_ + "/COM2");

    // The first device is free again.
    Collector otherRx;
    SerialPort other;
    EXPECT_TRUE(OpenSession(other, otherRx, 1));

    ASSERT_TRUE(port.StartReader());
    second.Write("029800:01\r\n");
    ASSERT_TRUE(rx.WaitFor(11));
    EXPECT_EQ(rx.Bytes(), "029800:01\r\n");
}

TEST_F(SerialPortTest, DeviceInUseIsRefused) {
    Pty pty;
    Link(9, pty.SlavePath());
    Collector rx;
    auto holder = std::make_unique<SerialPort>();
    ASSERT_TRUE(OpenSession(*holder, rx, 9));

    SerialPort second;
    EXPECT_FALSE(OpenSession(second, rx, 9));
    EXPECT_EQ(second.LastOpenError(), EBUSY);

    holder.reset();
    EXPECT_TRUE(OpenSession(second, rx, 9));
    EXPECT_EQ(second.LastOpenError(), 0);
}

TEST_F(SerialPortTest, DestructionWaitsForTheReaderToEnd) {
    Pty pty;
    Link(8, pty.SlavePath());
    Collector rx(/*gated=*/true);
    auto port = std::make_unique<SerialPort>();
    ASSERT_TRUE(OpenSession(*port, rx, 8));
    ASSERT_TRUE(port->StartReader());
    pty.Write("Z");
    ASSERT_TRUE(rx.entered.WaitFor(2s));

    std::atomic<bool> destroyed{false};
    std::thread destroyer([&] {
        port.reset();
        destroyed = true;
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(destroyed) << "destructor returned while the reader was delivering";
    rx.release.Set();
    destroyer.join();
    EXPECT_EQ(rx.Bytes(), "Z");
    EXPECT_TRUE(ThreadsBackToBase());
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

TEST_F(SerialPortTest, VanishedDeviceIsReportedAndCostsNoCpu) {
    Pty pty;
    Link(11, pty.SlavePath());
    Collector rx;
    SerialPort port;
    ASSERT_TRUE(OpenSession(port, rx, 11));
    ASSERT_TRUE(port.StartReader());
    pty.Write("x");
    ASSERT_TRUE(rx.WaitFor(1));
    EXPECT_FALSE(port.DeviceLost());

    pty.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return port.DeviceLost(); }, 2000ms));
    const double before = CpuSeconds();
    std::this_thread::sleep_for(2s);
    EXPECT_LT(CpuSeconds() - before, 0.2);

    // Frames still handed over go nowhere, and the port closes normally.
    const RequestFrame frame = BuildRequest("020A00");
    port.Send(frame.bytes.data(), frame.length);
    EXPECT_TRUE(test::SerialPortProbe::ReaderRunning(port));
}

}  // namespace
}  // namespace tk358
