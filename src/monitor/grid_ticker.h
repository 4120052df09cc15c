// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window's refresh tick: a kernel timer on the monotonic clock, read
// through the window's event loop, that any thread may bring forward. The
// link's reader arms it for the next point of the tick grid when news comes,
// so news costs the window a single wake-up, at the moment a tick running
// all the time would have shown it.

#include <QObject>
#include <chrono>
#include <mutex>

#include "link/fresh_readings.h"

class QSocketNotifier;

namespace tk358 {

class GridTicker : public QObject {
    Q_OBJECT

public:
    // Ticks fall on the multiples of `period` on the monotonic clock.
    explicit GridTicker(std::chrono::milliseconds period, QObject* parent = nullptr);
    ~GridTicker() override;

    // Until Start and after Stop, ArmAfter does nothing.
    void Start();
    void Stop();
    // Fires at the first point of the grid after `moment` unless already
    // armed for an earlier one; a point passed fires at once. Any thread; it
    // never waits for anything but the lock below.
    void ArmAfter(MonotonicTime moment);

signals:
    void fired();

private:
    void OnReadable();
    void SetTimer(MonotonicTime due);  // under armLock

    const std::chrono::milliseconds period_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    // armLock: the moment armed for and the kernel timer's setting change
    // together under it; held for one system call at most.
    std::mutex armLock_;
    MonotonicTime armedFor_ = MonotonicTime::max();  // max: not armed
    bool running_ = false;
};

}  // namespace tk358
