#pragma once

// A bare client of tk358d's shared line for a test: it writes request lines
// as they are given (several at once when the test pipelines them) and
// collects the lines that come back.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tk358::test {

class SharedLineClient {
public:
    explicit SharedLineClient(const std::string& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        connected_ =
            ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~SharedLineClient() { ::close(fd_); }
    SharedLineClient(const SharedLineClient&) = delete;
    SharedLineClient& operator=(const SharedLineClient&) = delete;

    bool Connected() const { return connected_; }

    // All of `bytes` in one write.
    bool Send(std::string_view bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }

    // The lines (CR LF included) for which `keep` holds, in arrival order,
    // until there are `count` of them, the other side closes or `limit` passes.
    std::vector<std::string> Lines(const std::function<bool(std::string_view)>& keep,
                                   std::size_t count, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        std::vector<std::string> kept;
        for (;;) {
            while (!ready_.empty() && kept.size() < count) {
                if (keep(ready_.front())) {
                    kept.push_back(ready_.front());
                }
                ready_.pop_front();
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (kept.size() == count || left.count() <= 0 ||
                ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
                return kept;
            }
            char chunk[512];
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n <= 0) {
                return kept;
            }
            for (ssize_t i = 0; i < n; ++i) {
                partial_ += chunk[i];
                if (partial_.ends_with("\r\n")) {
                    ready_.push_back(std::move(partial_));
                    partial_.clear();
                }
            }
        }
    }

private:
    int fd_ = -1;
    bool connected_ = false;
    std::string partial_;
    std::deque<std::string> ready_;  // whole lines not yet looked at
};

}  // namespace tk358::test
