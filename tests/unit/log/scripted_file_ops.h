// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// File calls that fail on cue, for the write paths of the log file.

#include <cerrno>
#include <deque>

#include "log/log_file.h"

namespace tk358::test {

enum class WriteStep {
    kShort,        // writes half of what was asked
    kNoSpace,      // fails with ENOSPC
    kInterrupted,  // fails with EINTR before writing anything
};

class ScriptedFileOps : public LogFileOps {
public:
    std::deque<WriteStep> writes;  // one per call; the real write when empty
    int fsyncFailures = 0;         // next fsync calls fail with EIO
    int truncateFailures = 0;      // next ftruncate calls fail with EIO

    ssize_t Write(int fd, const void* data, size_t size) override {
        if (writes.empty()) {
            return LogFileOps::Write(fd, data, size);
        }
        WriteStep step = writes.front();
        writes.pop_front();
        switch (step) {
            case WriteStep::kShort:
                return LogFileOps::Write(fd, data, size > 1 ? size / 2 : size);
            case WriteStep::kNoSpace:
                errno = ENOSPC;
                return -1;
            case WriteStep::kInterrupted:
                errno = EINTR;
                return -1;
        }
        return -1;
    }
    int Fsync(int fd) override {
        if (fsyncFailures > 0) {
            --fsyncFailures;
            errno = EIO;
            return -1;
        }
        return LogFileOps::Fsync(fd);
    }
    int Ftruncate(int fd, off_t length) override {
        if (truncateFailures > 0) {
            --truncateFailures;
            errno = EIO;
            return -1;
        }
        return LogFileOps::Ftruncate(fd, length);
    }
};

}  // namespace tk358::test
