// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The descriptor under a SerialPort and what differs between kinds of line:
// how it is opened, written, purged and let go. The port's reader thread
// does the rest the same for all. A new kind of line (a device server over
// TCP, say) is one more device and one more case in SerialPort::Open.

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>

#include "link/panel_line.h"

namespace tk358 {

class LineDevice {
public:
    explicit LineDevice(int fd) : fd_(fd) {}
    LineDevice(const LineDevice&) = delete;
    LineDevice& operator=(const LineDevice&) = delete;
    // Closes the descriptor.
    virtual ~LineDevice();

    // Non-blocking.
    int Fd() const { return fd_; }
    // read(2)'s contract: bytes read (0: none waiting), or -1 with errno.
    virtual ssize_t Read(char* data, std::size_t size);
    // write(2)'s contract: bytes written, or -1 with errno.
    virtual ssize_t Write(const char* data, std::size_t size) = 0;
    // Drops what waits on the line in both directions, as far as it can.
    virtual void Purge() = 0;
    // Tells the other side the program is going (a terminal's DTR and RTS).
    virtual void Hangup() {}

private:
    const int fd_;
};

// The terminal `path`, for exclusive use, in raw mode with `settings`, DTR and
// RTS raised. Null with the errno in `error` (ENOTTY: not a terminal, EBUSY:
// in use).
std::unique_ptr<LineDevice> OpenTerminalDevice(const std::string& path,
                                               const LineSettings& settings, int& error);

// The connection to tk358d's shared line that `path` leads to
// (shared_line_socket.h). Null with the errno in `error`.
std::unique_ptr<LineDevice> OpenSharedLineDevice(const std::string& path, int& error);

}  // namespace tk358
