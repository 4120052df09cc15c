// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/shared_line_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "link/line_device.h"

namespace tk358 {

namespace {

// The address of `path`; a path too long for it is replaced by the link's
// target, which is often shorter (the runtime directory's socket).
bool AddressOf(const std::string& path, sockaddr_un& address) {
    address.sun_family = AF_UNIX;
    std::string target = path;
    if (target.size() >= sizeof address.sun_path) {
        std::error_code error;
        target = std::filesystem::canonical(path, error).string();
        if (error || target.size() >= sizeof address.sun_path) {
            return false;
        }
    }
    std::memcpy(address.sun_path, target.c_str(), target.size() + 1);
    return true;
}

// True when the other side ended the connection within the refusal wait. A
// line that merely stays quiet, or brings the panel's lines, is accepted.
bool ClosedAtOnce(int fd) {
    pollfd p{fd, POLLIN | POLLRDHUP, 0};
    const auto wait = static_cast<int>(kSharedLineRefusalWait.count());
    int ready = 0;
    do {
        ready = poll(&p, 1, wait);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return false;
    }
    if ((p.revents & (POLLHUP | POLLRDHUP | POLLERR)) != 0) {
        return true;
    }
    char byte = 0;
    return recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

}  // namespace

std::string SharedLineRefusal(std::string_view code, std::string_view reason) {
    return std::string(code) + "!" + std::string(reason) + "\r\n";
}

std::string_view RefusedCommand(std::string_view line) {
    constexpr std::size_t kCodeLength = 6;
    if (line.size() <= kCodeLength + 2 || line[kCodeLength] != '!' || !line.ends_with("\r\n") ||
        line.substr(0, kCodeLength).find_first_not_of("0123456789ABCDEF") !=
            std::string_view::npos) {
        return {};
    }
    return line.substr(0, kCodeLength);
}

bool IsSharedLineLink(const std::string& path) {
    struct stat link {};
    struct stat target {};
    return lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
           stat(path.c_str(), &target) == 0 && S_ISSOCK(target.st_mode);
}

int ConnectSharedLine(const std::string& path, int& error) {
    sockaddr_un address{};
    if (!AddressOf(path, address)) {
        error = ENAMETOOLONG;
        return -1;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        // A full queue of connections waiting to be accepted: the line is taken.
        error = errno == EAGAIN ? EBUSY : errno;
        close(fd);
        return -1;
    }
    if (ClosedAtOnce(fd)) {
        error = EBUSY;
        close(fd);
        return -1;
    }
    error = 0;
    return fd;
}

void DiscardSharedLineInput(int fd) {
    char chunk[512];
    for (;;) {
        const ssize_t n = recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0 || (n < 0 && errno == EINTR)) {
            continue;
        }
        return;
    }
}

namespace {

class SharedLineDevice final : public LineDevice {
public:
    explicit SharedLineDevice(int fd) : LineDevice(fd) {}
    // The daemon may be gone: an error, not a SIGPIPE.
    ssize_t Write(const char* data, std::size_t size) override {
        return send(Fd(), data, size, MSG_NOSIGNAL);
    }
    void Purge() override { DiscardSharedLineInput(Fd()); }
};

}  // namespace

std::unique_ptr<LineDevice> OpenSharedLineDevice(const std::string& path, int& error) {
    const int fd = ConnectSharedLine(path, error);
    return fd < 0 ? nullptr : std::make_unique<SharedLineDevice>(fd);
}

}  // namespace tk358
