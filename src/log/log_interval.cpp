// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/log_interval.h"

#include <algorithm>

namespace tk358 {

int ClampLogInterval(int seconds) {
    return std::clamp(seconds, kMinLogInterval, kMaxLogInterval);
}

}  // namespace tk358
