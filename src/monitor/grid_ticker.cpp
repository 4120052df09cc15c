// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/grid_ticker.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace tk358 {

GridTicker::GridTicker(std::chrono::milliseconds period, QObject* parent)
    : QObject(parent), period_(period) {
    fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd_ < 0) {
        qFatal("No timer for the window's refresh: %s", strerror(errno));
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &GridTicker::OnReadable);
}

GridTicker::~GridTicker() {
    delete notifier_;
    close(fd_);
}

void GridTicker::Start() {
    std::lock_guard<std::mutex> lock(armLock_);
    running_ = true;
}

void GridTicker::Stop() {
    std::lock_guard<std::mutex> lock(armLock_);
    running_ = false;
    armedFor_ = MonotonicTime::max();
    const itimerspec off{};
    timerfd_settime(fd_, TFD_TIMER_ABSTIME, &off, nullptr);
}

void GridTicker::ArmAfter(MonotonicTime moment) {
    using std::chrono::floor;
    const MonotonicTime due(
        floor<std::chrono::milliseconds>(moment.time_since_epoch()) / period_ * period_ + period_);
    std::lock_guard<std::mutex> lock(armLock_);
    if (running_ && due < armedFor_) {
        SetTimer(due);
    }
}

void GridTicker::SetTimer(MonotonicTime due) {
    armedFor_ = due;
    // Zero would disarm the timer; the earliest moment there is fires at once.
    const int64_t ns = std::max<int64_t>(
        1, std::chrono::duration_cast<std::chrono::nanoseconds>(due.time_since_epoch()).count());
    itimerspec at{};
    at.it_value.tv_sec = static_cast<time_t>(ns / 1000000000);
    at.it_value.tv_nsec = static_cast<long>(ns % 1000000000);
    timerfd_settime(fd_, TFD_TIMER_ABSTIME, &at, nullptr);
}

void GridTicker::OnReadable() {
    uint64_t expirations = 0;
    if (read(fd_, &expirations, sizeof expirations) != sizeof expirations) {
        return;  // re-armed for later before it was read
    }
    {
        std::lock_guard<std::mutex> lock(armLock_);
        armedFor_ = MonotonicTime::max();
    }
    emit fired();
}

}  // namespace tk358
