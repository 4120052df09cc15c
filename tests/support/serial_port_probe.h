// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the port's tests see of its reader thread and device, and their seam
// into the write path.

#include <functional>
#include <string>
#include <utility>

#include "link/serial_port.h"

namespace tk358::test {

struct SerialPortProbe {
    static bool ReaderRunning(const SerialPort& port) { return port.reader_ != nullptr; }
    static const std::string& DevicePath(const SerialPort& port) { return port.devicePath_; }
    // Called on the reader thread just before a frame's purge; set it before
    // StartReader.
    static void SetBeforePurgeHook(SerialPort& port, std::function<void()> hook) {
        port.beforePurge_ = std::move(hook);
    }
};

}  // namespace tk358::test
