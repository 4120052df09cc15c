#include "log/log_interval.h"

#include <algorithm>
#include <cstdio>

namespace tk358 {

int ClampLogInterval(int seconds) {
    return std::clamp(seconds, kMinLogInterval, kMaxLogInterval);
}

std::string FormatInterval(int seconds) {
    seconds = std::max(seconds, 0);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds % 3600 / 60,
                  seconds % 60);
    return text;
}

}  // namespace tk358
