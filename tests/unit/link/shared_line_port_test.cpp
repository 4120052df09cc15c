// SerialPort on a COMn link to a Unix socket, as tk358d shares its line: the
// test plays the daemon on the listening side.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "link/port_enumeration.h"
#include "link/serial_port.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class Collector : public ByteReceiver {
public:
    void OnByteReceived(char byte) override {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes_ += byte;
        changed_.notify_all();
    }
    std::string WaitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, 5s, [&] { return bytes_.size() >= count; });
        return bytes_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string bytes_;
};

// A listening socket; `listen` false leaves a socket file nobody serves.
int Bind(const std::string& path, bool listening) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    if (listening) {
        EXPECT_EQ(listen(fd, 4), 0);
    }
    return fd;
}

std::string ReadLine(int fd) {
    std::string bytes;
    while (!bytes.ends_with("\r\n")) {
        pollfd p{fd, POLLIN, 0};
        char c = 0;
        if (poll(&p, 1, 2000) <= 0 || read(fd, &c, 1) != 1) {
            break;
        }
        bytes += c;
    }
    return bytes;
}

class SharedLinePortTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = temp_.Path().string();
        ports_ = dir_ + "/ports";
        fs::create_directory(ports_);
        fs::permissions(ports_, fs::perms::owner_all);
        setenv("TK358_PORT_DIR", ports_.c_str(), 1);
    }
    void TearDown() override { unsetenv("TK358_PORT_DIR"); }

    bool Open(SerialPort& port, ByteReceiver& rx) {
        return port.Open(&rx, 9, 9600, 'N', 8, 1, kEventRxChar, 512);
    }

    test::TempDir temp_{"tk358-shared"};
    std::string dir_;
    std::string ports_;
};

TEST_F(SharedLinePortTest, CarriesBothDirectionsAndPurgesBeforeEachFrame) {
    const std::string socketPath = dir_ + "/line1.sock";
    const int listener = Bind(socketPath, true);
    fs::create_symlink(socketPath, ports_ + "/COM9");

    int count = 0;
    std::string text;
    PortEnumerationRoots roots{dir_ + "/none", dir_ + "/none", dir_ + "/none", ports_};
    ASSERT_TRUE(EnumerateComPorts(roots, count, text));
    EXPECT_EQ(text, "COM9:tk358d: line1.sock\n");  // listed without taking the line

    Collector rx;
    SerialPort port;
    ASSERT_TRUE(Open(port, rx)) << port.LastOpenError();
    const int daemon = accept(listener, nullptr, nullptr);
    ASSERT_GE(daemon, 0);
    // Bytes that wait when a frame is due are thrown away, as a terminal's purge does.
    port.SetBeforePurgeHook([daemon] { send(daemon, "028600:stale\r\n", 14, MSG_NOSIGNAL); });
    ASSERT_TRUE(port.StartReader());
    port.Send("020A00F4\r\n", 10);
    EXPECT_EQ(ReadLine(daemon), "020A00F4\r\n");
    const std::string line = "020200:00:000000000A8C\r\n";
    ASSERT_EQ(send(daemon, line.data(), line.size(), MSG_NOSIGNAL), 24);
    EXPECT_EQ(rx.WaitFor(line.size()), line);

    close(daemon);  // the daemon ends: the line is lost, as with a pulled adapter
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (!port.DeviceLost() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(port.DeviceLost());
    port.Send("050100FA\r\n", 10);  // no SIGPIPE on a closed connection
    close(listener);
}

TEST_F(SharedLinePortTest, TellsWhyASharedLineDoesNotOpen) {
    // The daemon closes a second client at once: busy, as a port in use.
    const std::string busyPath = dir_ + "/busy.sock";
    const int listener = Bind(busyPath, true);
    std::thread refuser([listener] { close(accept(listener, nullptr, nullptr)); });
    fs::create_symlink(busyPath, ports_ + "/COM9");
    Collector rx;
    SerialPort port;
    EXPECT_FALSE(Open(port, rx));
    EXPECT_EQ(port.LastOpenError(), EBUSY);
    refuser.join();
    close(listener);

    // A socket left behind by a daemon that ended.
    fs::remove(ports_ + "/COM9");
    const std::string stalePath = dir_ + "/stale.sock";
    close(Bind(stalePath, false));
    fs::create_symlink(stalePath, ports_ + "/COM9");
    EXPECT_FALSE(Open(port, rx));
    EXPECT_EQ(port.LastOpenError(), ECONNREFUSED);

    // Only a link leads to a shared line; anything else must be a terminal.
    fs::remove(ports_ + "/COM9");
    const int direct = Bind(ports_ + "/COM9", true);
    EXPECT_FALSE(Open(port, rx));
    EXPECT_EQ(port.LastOpenError(), ENOTTY);
    close(direct);
}

}  // namespace
}  // namespace tk358
