// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/display_probe.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace tk358 {

namespace {

constexpr int kRemoteTimeoutMs = 2000;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// True when a connection to `address` completes within `timeoutMs`.
bool Connects(int family, const sockaddr* address, socklen_t length, int timeoutMs) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return false;
    }
    bool connected = ::connect(fd, address, length) == 0;
    if (!connected && errno == EINPROGRESS) {
        pollfd wait{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        connected = ::poll(&wait, 1, timeoutMs) == 1 &&
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    ::close(fd);
    return connected;
}

// A local socket; `abstract` puts it in the abstract namespace, where X
// servers listen besides the file.
bool ConnectsLocal(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.empty() || path.size() + offset >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                               path.size() + (abstract ? 0 : 1));
    return Connects(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), length, 0);
}

bool ConnectsTcp(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return false;
    }
    bool connected = false;
    for (const addrinfo* a = found; a != nullptr && !connected; a = a->ai_next) {
        connected = Connects(a->ai_family, a->ai_addr, a->ai_addrlen, kRemoteTimeoutMs);
    }
    ::freeaddrinfo(found);
    return connected;
}

// DISPLAY is [host]:number[.screen]; no host, "unix" or "unix/" is the local
// server's socket, any other host is TCP port 6000 + number.
bool XServerAnswers(std::string display) {
    if (display.rfind("unix/", 0) == 0 || display.rfind("tcp/", 0) == 0) {
        display.erase(0, display.find('/') + 1);
    }
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) {
        return false;
    }
    const std::string host = display.substr(0, colon);
    char* end = nullptr;
    const long number = std::strtol(display.c_str() + colon + 1, &end, 10);
    if (end == display.c_str() + colon + 1 || number < 0 || number > 59535) {
        return false;
    }
    if (!host.empty() && host[0] == '/') {
        return ConnectsLocal(host, false);
    }
    if (host.empty() || host == "unix") {
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        return ConnectsLocal(socket, true) || ConnectsLocal(socket, false);
    }
    return ConnectsTcp(host, 6000 + static_cast<int>(number));
}

bool CompositorAnswers(const DisplaySetting& setting) {
    if (setting.wayland.front() == '/') {
        return ConnectsLocal(setting.wayland, false);
    }
    return !setting.runtimeDir.empty() &&
           ConnectsLocal(setting.runtimeDir + '/' + setting.wayland, false);
}

struct Candidates {
    bool x = false;
    bool wayland = false;
    bool other = false;  // offscreen, vnc, eglfs ...: no session to check
};

// QT_QPA_PLATFORM is a ';' list of plugin names, each with ':' options.
Candidates PlatformCandidates(std::string_view platform) {
    if (platform.empty()) {
        return {true, true, false};
    }
    Candidates c;
    while (!platform.empty()) {
        const std::size_t end = platform.find(';');
        const std::string_view entry = platform.substr(0, end);
        const std::string_view name = entry.substr(0, entry.find(':'));
        if (name == "xcb") {
            c.x = true;
        } else if (name.rfind("wayland", 0) == 0) {
            c.wayland = true;
        } else if (!name.empty()) {
            c.other = true;
        }
        platform = end == std::string_view::npos ? std::string_view() : platform.substr(end + 1);
    }
    return c;
}

}  // namespace

DisplaySetting DisplaySettingFromEnvironment() {
    return {Environment("QT_QPA_PLATFORM"), Environment("DISPLAY"), Environment("WAYLAND_DISPLAY"),
            Environment("XDG_RUNTIME_DIR")};
}

DisplayVerdict JudgeDisplay(const DisplaySetting& setting) {
    const Candidates c = PlatformCandidates(setting.platform);
    if (c.other) {
        return DisplayVerdict::kUsable;
    }
    const bool x = c.x && !setting.display.empty();
    const bool wayland = c.wayland && !setting.wayland.empty();
    if (!x && !wayland) {
        return DisplayVerdict::kNotSet;
    }
    if ((x && XServerAnswers(setting.display)) || (wayland && CompositorAnswers(setting))) {
        return DisplayVerdict::kUsable;
    }
    return DisplayVerdict::kUnreachable;
}

std::string NoDisplayText(const DisplaySetting& setting, DisplayVerdict verdict) {
    // Only the variables of the platforms that would be tried.
    const Candidates c = PlatformCandidates(setting.platform);
    const bool unset = verdict == DisplayVerdict::kNotSet;
    std::vector<std::string> names;
    if (c.x && (unset || !setting.display.empty())) {
        names.push_back(unset ? "DISPLAY" : "DISPLAY=" + setting.display);
    }
    if (c.wayland && (unset || !setting.wayland.empty())) {
        names.push_back(unset ? "WAYLAND_DISPLAY" : "WAYLAND_DISPLAY=" + setting.wayland);
    }
    std::string missing = unset ? "nie ustawiono zmiennej" : "nie można połączyć się z ekranem";
    for (std::size_t i = 0; i < names.size(); ++i) {
        missing += (i == 0 ? " " : " ani ") + names[i];
    }
    return "okno programu wymaga sesji graficznej, a " + missing +
           "; bez ekranu działają --help, --version, --backup, --compare, --restore, "
           "--plot oraz program tk358d";
}

}  // namespace tk358
