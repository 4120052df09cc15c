// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/log_setup.h"

#include <algorithm>

namespace tk358 {

ClockTime IntervalToClock(int seconds) {
    const int s = std::clamp(seconds, kMinLogInterval, kMaxLogInterval);
    return ClockTime{s / 3600, (s / 60) % 60, s % 60};
}

int ClockToInterval(const ClockTime& time) {
    const int s = time.hours * 3600 + time.minutes * 60 + time.seconds;
    return std::clamp(s, kMinLogInterval, kMaxLogInterval);
}

bool HasLoggedQuantity(const LogSetup& setup) {
    return setup.temperatureColumn || setup.setpointColumn || setup.secondSetpointColumn;
}

std::string WithFilterExtension(const std::string& path, int filterIndex) {
    const std::size_t nameStart = path.find_last_of('/') + 1;  // npos + 1 is 0
    if (path.find('.', nameStart) != std::string::npos || nameStart == path.size()) {
        return path;  // an extension was typed, or there is no name at all
    }
    return path + (filterIndex == 1 ? ".csv" : ".txt");
}

}  // namespace tk358
