// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An event that stays set until it is reset, releasing every waiter while set.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tk358 {

class ManualResetEvent {
public:
    void Set() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            set_ = true;
        }
        changed_.notify_all();
    }

    void Reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        set_ = false;
    }

    bool IsSet() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return set_;
    }

    // True when the event was set, or became set within `timeout`.
    template <class Rep, class Period>
    bool WaitFor(std::chrono::duration<Rep, Period> timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return set_; });
    }

    void Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return set_; });
    }

private:
    mutable std::mutex mutex_;  // guards set_
    std::condition_variable changed_;
    bool set_ = false;
};

}  // namespace tk358
