#pragma once

// The service manager's end of the notification socket ($NOTIFY_SOCKET) for
// a test: a Unix datagram socket bound in the test's directory that keeps
// what the program under test says, with the time it arrived.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace tk358::test {

class NotifySocket {
public:
    using Clock = std::chrono::steady_clock;
    struct Message {
        std::string text;
        Clock::time_point at;
    };

    explicit NotifySocket(std::string path) : path_(std::move(path)) {
        fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
        ::unlink(path_.c_str());
        if (fd_ >= 0 &&
            ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~NotifySocket() {
        if (fd_ >= 0) {
            ::close(fd_);
            ::unlink(path_.c_str());
        }
    }
    NotifySocket(const NotifySocket&) = delete;
    NotifySocket& operator=(const NotifySocket&) = delete;

    bool Bound() const { return fd_ >= 0; }
    // For the environment of the program under test.
    std::string Variable() const { return "NOTIFY_SOCKET=" + path_; }

    // Everything that arrives within `span`.
    std::vector<Message> Collect(std::chrono::milliseconds span) {
        std::vector<Message> messages;
        const Clock::time_point end = Clock::now() + span;
        while (std::optional<Message> m = Next(end)) {
            messages.push_back(std::move(*m));
        }
        return messages;
    }

    // Waits for a message that contains `part`; false on time-out.
    bool WaitFor(const std::string& part, std::chrono::milliseconds timeout) {
        const Clock::time_point end = Clock::now() + timeout;
        while (std::optional<Message> m = Next(end)) {
            if (m->text.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

private:
    std::optional<Message> Next(Clock::time_point end) {
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (fd_ < 0 || left.count() <= 0 ||
                ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return std::nullopt;
            }
            char buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n >= 0) {
                return Message{std::string(buffer, static_cast<std::size_t>(n)), Clock::now()};
            }
        }
    }

    std::string path_;
    int fd_ = -1;
};

}  // namespace tk358::test
