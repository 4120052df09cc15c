#pragma once

// The service manager's end of the notification socket ($NOTIFY_SOCKET) for
// a test: a Unix datagram socket bound in the test's directory. A thread of
// its own reads it at once, as the service manager does (a full socket would
// block the sender), and keeps each message with the time it arrived.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
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
        if (fd_ >= 0) {
            reader_ = std::thread([this] { Read(); });
        }
    }
    ~NotifySocket() {
        stop_ = true;
        if (reader_.joinable()) {
            reader_.join();
        }
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

    // Everything not taken yet that arrives within `span` from now, and
    // anything that was waiting already.
    std::vector<Message> Collect(std::chrono::milliseconds span) {
        std::vector<Message> messages;
        const Clock::time_point end = Clock::now() + span;
        while (std::optional<Message> m = Next(end)) {
            messages.push_back(std::move(*m));
        }
        return messages;
    }

    // Takes messages until one contains `part`; false on time-out.
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
    void Read() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n < 0) {
                continue;
            }
            std::lock_guard<std::mutex> lock(lock_);
            received_.push_back({std::string(buffer, static_cast<std::size_t>(n)), Clock::now()});
            wake_.notify_all();
        }
    }

    std::optional<Message> Next(Clock::time_point end) {
        std::unique_lock<std::mutex> lock(lock_);
        if (!wake_.wait_until(lock, end, [this] { return !received_.empty(); })) {
            return std::nullopt;
        }
        Message m = std::move(received_.front());
        received_.pop_front();
        return m;
    }

    std::string path_;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Message> received_;
    std::thread reader_;
};

}  // namespace tk358::test
