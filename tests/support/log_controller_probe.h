#pragma once

// Whether the window's log file is open, and the timer that writes its lines.

#include "monitor/log_controller.h"

namespace tk358::test {

struct LogControllerProbe {
    static bool FileOpen(const LogController& logs) { return logs.log_->IsOpen(); }
    static const QTimer& IntervalTimer(const LogController& logs) { return logs.intervalTimer_; }
};

}  // namespace tk358::test
