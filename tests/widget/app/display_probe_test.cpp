// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the window's display is reachable, decided before Qt loads a
// platform plugin: live and dead sockets of each kind, and the platform list.

#include "app/display_probe.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "support/temp_dir.h"

namespace tk358 {
namespace {

// A listening socket; nobody accepts, the backlog is enough for a probe.
class Listener {
public:
    explicit Listener(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ok_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              ::listen(fd_, 4) == 0;
    }
    Listener() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ok_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
              ::listen(fd_, 4) == 0 &&
              ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) == 0;
        port_ = ntohs(address.sin_port);
    }
    ~Listener() { ::close(fd_); }
    bool Ok() const { return ok_; }
    int Port() const { return port_; }

private:
    int fd_;
    bool ok_ = false;
    int port_ = 0;
};

TEST(DisplayProbe, JudgesEachKindOfSetting) {
    test::TempDir dir("tk358-display");
    const std::string runtime = dir.Path().string();
    const Listener wayland(runtime + "/wayland-test");
    const Listener x;
    ASSERT_TRUE(wayland.Ok() && x.Ok() && x.Port() > 6000);
    const std::string liveX = "127.0.0.1:" + std::to_string(x.Port() - 6000) + ".0";
    const std::string liveWayland = runtime + "/wayland-test";
    using V = DisplayVerdict;
    const struct {
        DisplaySetting setting;
        DisplayVerdict expected;
    } cases[] = {
        {{}, V::kNotSet},
        {{"offscreen", "", "", ""}, V::kUsable},
        {{"vnc:size=800x600", "", "", ""}, V::kUsable},
        {{"", ":4999", "", ""}, V::kUnreachable},
        {{"", "unix:4999", "", ""}, V::kUnreachable},
        {{"", "no display", "", ""}, V::kUnreachable},
        {{"", liveX, "", ""}, V::kUsable},
        {{"", "", liveWayland, ""}, V::kUsable},
        {{"", "", "wayland-test", runtime}, V::kUsable},
        {{"", "", "wayland-test", ""}, V::kUnreachable},
        {{"", "", "wayland-gone", runtime}, V::kUnreachable},
        {{"", ":4999", "wayland-test", runtime}, V::kUsable},
        // The platform list decides which of the two counts.
        {{"xcb", "", liveWayland, ""}, V::kNotSet},
        {{"wayland", liveX, "wayland-gone", runtime}, V::kUnreachable},
        {{"wayland-egl;xcb", liveX, "wayland-gone", runtime}, V::kUsable},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JudgeDisplay(c.setting), c.expected)
            << "platform '" << c.setting.platform << "' display '" << c.setting.display
            << "' wayland '" << c.setting.wayland << "'";
    }
}

TEST(DisplayProbe, SaysWhatIsMissingAndWhatWorks) {
    EXPECT_EQ(NoDisplayText({}, DisplayVerdict::kNotSet),
              "okno programu wymaga sesji graficznej, a nie ustawiono zmiennej DISPLAY ani "
              "WAYLAND_DISPLAY; bez ekranu działają --help, --version, --backup, --compare, "
              "--restore, --plot oraz program tk358d");
    EXPECT_NE(NoDisplayText({"xcb", "", "wayland-0", ""}, DisplayVerdict::kNotSet)
                  .find("a nie ustawiono zmiennej DISPLAY; bez"),
              std::string::npos);
    const std::string both =
        NoDisplayText({"", ":1", "wayland-0", ""}, DisplayVerdict::kUnreachable);
    EXPECT_NE(
        both.find("a nie można połączyć się z ekranem DISPLAY=:1 ani WAYLAND_DISPLAY=wayland-0;"),
        std::string::npos)
        << both;
}

}  // namespace
}  // namespace tk358
