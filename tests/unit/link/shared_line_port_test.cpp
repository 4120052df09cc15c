// SPDX-License-Identifier: GPL-3.0-or-later
// SerialPort on a COMn link to a Unix socket, as tk358d shares its line: the
// test plays the daemon on the listening side. (A daemon refusing a second
// client is tested end to end with the daemon's own share.)

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "link/manual_reset_event.h"
#include "link/port_enumeration.h"
#include "link/serial_port.h"
#include "link/shared_line_socket.h"
#include "support/serial_port_probe.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Collects bytes on the reader thread; `line` is set at each CR LF.
struct LineCollector : ByteReceiver {
    void OnByteReceived(char byte) override {
        bytes += byte;
        if (byte == '\n') {
            line.Set();
        }
    }
    std::string bytes;
    ManualResetEvent line;
};

int Bind(const std::string& path, bool listening) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_TRUE(!listening || listen(fd, 4) == 0);
    return fd;
}

TEST(SharedLinePortTest, ConnectsCarriesPurgesAndTellsWhyNot) {
    test::TempDir temp("tk358-shared");
    const std::string ports = temp.File("ports");
    fs::create_directory(ports);
    fs::permissions(ports, fs::perms::owner_all);
    setenv("TK358_PORT_DIR", ports.c_str(), 1);
    const int listener = Bind(temp.File("line1.sock"), true);
    fs::create_symlink(temp.File("line1.sock"), ports + "/COM9");

    int count = 0;
    std::string text;
    const PortEnumerationRoots roots{temp.File("none"), temp.File("none"), temp.File("none"),
                                     ports};
    ASSERT_TRUE(EnumerateComPorts(roots, count, text));
    EXPECT_EQ(text, "COM9:tk358d: line1.sock\n");  // listed without taking the line

    LineCollector rx;
    SerialPort port;
    ASSERT_TRUE(port.Open(&rx, 9, 9600, 'N', 8, 1, kEventRxChar, 512)) << port.LastOpenError();
    const int daemon = accept(listener, nullptr, nullptr);
    // What waits when a frame is due is thrown away, as a terminal's purge does.
    test::SerialPortProbe::SetBeforePurgeHook(
        port, [daemon] { send(daemon, "028600:old\r\n", 12, MSG_NOSIGNAL); });
    ASSERT_TRUE(port.StartReader());
    port.Send("020A00F4\r\n", 10);
    char request[11] = {};
    ASSERT_EQ(recv(daemon, request, 10, MSG_WAITALL), 10);
    EXPECT_STREQ(request, "020A00F4\r\n");
    ASSERT_EQ(send(daemon, "020200:00:0A8C\r\n", 16, MSG_NOSIGNAL), 16);
    ASSERT_TRUE(rx.line.WaitFor(2s));
    EXPECT_EQ(rx.bytes, "020200:00:0A8C\r\n");

    close(daemon);  // the daemon ends: the line is lost, as with a pulled adapter
    for (int i = 0; i < 200 && !port.DeviceLost(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(port.DeviceLost());
    port.Send("050100FA\r\n", 10);  // and sending to it raises no SIGPIPE
    close(listener);

    // A socket left behind by a daemon that ended: refused.
    close(Bind(temp.File("stale.sock"), false));
    fs::remove(ports + "/COM9");
    fs::create_symlink(temp.File("stale.sock"), ports + "/COM9");
    EXPECT_FALSE(port.Open(&rx, 9, 9600, 'N', 8, 1, kEventRxChar, 512));
    EXPECT_EQ(port.LastOpenError(), ECONNREFUSED);
    // Only a link leads to a shared line; anything else must be a terminal.
    fs::remove(ports + "/COM9");
    close(Bind(ports + "/COM9", true));
    EXPECT_FALSE(port.Open(&rx, 9, 9600, 'N', 8, 1, kEventRxChar, 512));
    EXPECT_EQ(port.LastOpenError(), ENOTTY);
    unsetenv("TK358_PORT_DIR");
}

// Only a whole refusal line names a command to fail.
TEST(SharedLinePortTest, TellsARefusalFromOtherLines) {
    EXPECT_EQ(SharedLineRefusal("028700", kRefusedWrite), "028700!ZAPIS-ZABLOKOWANY\r\n");
    const std::pair<std::string, std::string_view> cases[] = {
        {SharedLineRefusal("020A00", kRefusedQueueFull), "020A00"},
        {"028700:0000000000FF\r\n", ""},  // an answer
        {"02870!ZAPIS\r\n", ""},          // a short code
    };
    for (const auto& [line, refused] : cases) {
        EXPECT_EQ(RefusedCommand(line), refused) << line;
    }
}

}  // namespace
}  // namespace tk358
