// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The service manager's end of $NOTIFY_SOCKET for a test: a bound Unix
// datagram socket whose messages the test takes. Read it
// while the program under test runs: a socket of 10 unread messages blocks
// the sender, as it would under systemd.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace tk358::test {

class NotifySocket {
public:
    using Clock = std::chrono::steady_clock;

    explicit NotifySocket(const std::string& path) : path_(path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~NotifySocket() {
        ::close(fd_);
        ::unlink(path_.c_str());
    }

    bool Bound() const { return bound_; }
    std::string Variable() const { return "NOTIFY_SOCKET=" + path_; }

    // What arrives within `span` (and what waited already); with `until`,
    // only until a message containing it, which is the last one returned.
    std::vector<std::string> Collect(std::chrono::milliseconds span,
                                     const std::string& until = {}) {
        std::vector<std::string> messages;
        char buffer[4096];
        for (const Clock::time_point end = Clock::now() + span; Clock::now() < end;) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0) {
                const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
                messages.emplace_back(buffer, n > 0 ? std::size_t(n) : 0);
                if (!until.empty() && messages.back().find(until) != std::string::npos) {
                    break;
                }
            }
        }
        return messages;
    }
    // True when a message containing `part` arrives within `timeout`.
    bool WaitFor(const std::string& part, std::chrono::milliseconds timeout) {
        const std::vector<std::string> messages = Collect(timeout, part);
        return !messages.empty() && messages.back().find(part) != std::string::npos;
    }

private:
    std::string path_;
    int fd_ = -1;
    bool bound_ = false;
};

}  // namespace tk358::test
