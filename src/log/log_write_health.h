// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the log file is currently being written. A failure is reported to
// the operator once, when it starts; the logging note stays off the status
// line until a line is written again.

namespace tk358 {

class LogWriteHealth {
public:
    enum class Change {
        kNone,       // nothing new to show
        kFailed,     // writing just started to fail: show the message once
        kRecovered,  // a line was written again after failures
    };

    // The result of one write: 0 or errno.
    Change Record(int error);
    bool Failing() const { return failing_; }
    // A file was closed or opened: forget earlier failures.
    void Reset() { failing_ = false; }

private:
    bool failing_ = false;
};

}  // namespace tk358
