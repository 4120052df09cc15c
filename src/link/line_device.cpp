// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/line_device.h"

#include <unistd.h>

namespace tk358 {

LineDevice::~LineDevice() {
    close(fd_);  // releases a terminal's flock too
}

ssize_t LineDevice::Read(char* data, std::size_t size) {
    return read(fd_, data, size);
}

}  // namespace tk358
