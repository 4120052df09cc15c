// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Parameter codes written to the panel and not yet read back, in the order
// they were written (a code written twice appears twice).
//
// A read-back takes a snapshot and, when it has read every code of it, drops
// exactly those entries: a code appended meanwhile by another thread stays
// for the next read-back instead of being lost.

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace tk358 {

class PendingReads {
public:
    struct Snapshot {
        std::vector<int> codes;
        uint64_t end = 0;  // position just past the snapshot's last entry
    };

    void Append(int code) {
        std::lock_guard<std::mutex> lock(mutex_);
        codes_.push_back(code);
    }

    Snapshot Take() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return {std::vector<int>(codes_.begin(), codes_.end()), dropped_ + codes_.size()};
    }

    // Drops the entries up to `end`; entries already dropped are not counted twice.
    void DropThrough(uint64_t end) {
        std::lock_guard<std::mutex> lock(mutex_);
        while (dropped_ < end && !codes_.empty()) {
            codes_.pop_front();
            ++dropped_;
        }
    }

    // Drops every entry; a snapshot taken before drops nothing appended after.
    void DropAll() {
        std::lock_guard<std::mutex> lock(mutex_);
        dropped_ += codes_.size();
        codes_.clear();
    }

private:
    mutable std::mutex mutex_;  // guards codes_ and dropped_
    std::deque<int> codes_;
    uint64_t dropped_ = 0;  // entries ever dropped from the front
};

}  // namespace tk358
