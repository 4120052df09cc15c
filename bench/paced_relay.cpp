// SPDX-License-Identifier: GPL-3.0-or-later
#include "paced_relay.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <filesystem>
#include <optional>

namespace tk358::bench {

namespace {

using Clock = std::chrono::steady_clock;

void MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) == 0) {
        cfmakeraw(&settings);
        settings.c_cflag |= CLOCAL | CREAD;
        tcsetattr(fd, TCSANOW, &settings);
    }
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// One direction of the line: bytes in flight with the time each arrives.
class Direction {
public:
    void Send(const char* data, std::size_t size, Clock::time_point now) {
        for (std::size_t i = 0; i < size; ++i) {
            // A byte starts when it is sent or when the one before has gone.
            const Clock::time_point start = lineFree_ > now ? lineFree_ : now;
            lineFree_ = start + kByteTime;
            inFlight_.push_back({lineFree_, data[i]});
        }
    }
    // Writes the bytes that have arrived by `now`; the count written.
    std::size_t Deliver(int fd, Clock::time_point now) {
        std::string ready;
        while (!inFlight_.empty() && inFlight_.front().at <= now) {
            ready.push_back(inFlight_.front().byte);
            inFlight_.pop_front();
        }
        std::size_t written = 0;
        while (written < ready.size()) {
            const ssize_t n = write(fd, ready.data() + written, ready.size() - written);
            if (n > 0) {
                written += static_cast<std::size_t>(n);
            } else if (errno != EINTR) {
                break;  // the reader is gone or full: the rest is lost, as on a line
            }
        }
        return written;
    }
    std::optional<Clock::time_point> Next() const {
        if (inFlight_.empty()) {
            return std::nullopt;
        }
        return inFlight_.front().at;
    }

private:
    struct Byte {
        Clock::time_point at;
        char byte;
    };
    std::deque<Byte> inFlight_;
    Clock::time_point lineFree_{};
};

}  // namespace

PacedRelay::PacedRelay(std::string panelDevice, int port, std::string portDirectory)
    : panelDevice_(std::move(panelDevice)), port_(port), portDirectory_(std::move(portDirectory)) {}

PacedRelay::~PacedRelay() {
    Stop();
}

bool PacedRelay::Start(std::string* error) {
    const auto fail = [&](const std::string& what) {
        *error = what + ": " + std::strerror(errno);
        Stop();
        return false;
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    char name[128] = {};
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
        return fail("pseudo-terminal");
    }
    programDevice_ = name;
    hold_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    panel_ = open(panelDevice_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (hold_ < 0 || panel_ < 0 || wake_ < 0) {
        return fail("open");
    }
    MakeRaw(hold_);
    MakeRaw(panel_);
    link_ = (std::filesystem::path(portDirectory_) / ("COM" + std::to_string(port_))).string();
    std::error_code ec;
    std::filesystem::create_symlink(programDevice_, link_, ec);
    if (ec) {
        errno = ec.value();
        link_.clear();
        return fail("link");
    }
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void PacedRelay::Stop() {
    if (thread_.joinable()) {
        stop_ = true;
        const uint64_t one = 1;
        (void)!write(wake_, &one, sizeof one);
        thread_.join();
    }
    if (!link_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(link_, ignored);
        link_.clear();
    }
    CloseFd(panel_);
    CloseFd(hold_);
    CloseFd(master_);
    CloseFd(wake_);
}

void PacedRelay::ResetCounts() {
    toPanel_ = 0;
    toProgram_ = 0;
}

void PacedRelay::Run() {
    Direction toPanel;
    Direction toProgram;
    char buffer[512];
    while (!stop_) {
        Clock::time_point now = Clock::now();
        toPanel_ += toPanel.Deliver(panel_, now);
        toProgram_ += toProgram.Deliver(master_, now);
        timespec wait{1, 0};
        timespec* timeout = nullptr;
        std::optional<Clock::time_point> next = toPanel.Next();
        if (const auto other = toProgram.Next(); other && (!next || *other < *next)) {
            next = other;
        }
        if (next) {
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(*next - now);
            wait = {static_cast<time_t>(ns.count() / 1'000'000'000),
                    static_cast<long>(ns.count() % 1'000'000'000)};
            if (ns.count() < 0) {
                wait = {0, 0};
            }
            timeout = &wait;
        }
        pollfd fds[3] = {{master_, POLLIN, 0}, {panel_, POLLIN, 0}, {wake_, POLLIN, 0}};
        if (ppoll(fds, 3, timeout, nullptr) <= 0) {
            continue;
        }
        now = Clock::now();
        if ((fds[0].revents & POLLIN) != 0) {
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n > 0) {
                toPanel.Send(buffer, static_cast<std::size_t>(n), now);
            }
        }
        if ((fds[1].revents & POLLIN) != 0) {
            const ssize_t n = read(panel_, buffer, sizeof buffer);
            if (n > 0) {
                toProgram.Send(buffer, static_cast<std::size_t>(n), now);
            }
        }
    }
}

}  // namespace tk358::bench
