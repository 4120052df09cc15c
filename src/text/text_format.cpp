// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/text_format.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace tk358 {

std::string FormatFixed(double value, int decimals) {
    // to_chars ignores the locale, unlike snprintf, and rounds exactly as printf does.
    // The largest double has 309 integer digits, so the buffer always suffices.
    char buf[400];
    const int places = std::clamp(decimals, 0, 60);
    const auto result =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, places);
    return std::string(buf, result.ptr);
}

std::string FormatInt(int64_t value) {
    return std::to_string(value);
}

std::string FormatHoursMinutes(int64_t hours, int64_t minutes) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lld:%02lld", static_cast<long long>(hours),
                  static_cast<long long>(minutes));
    return buf;
}

std::string FormatHms(int64_t seconds) {
    seconds = std::max<int64_t>(seconds, 0);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>((seconds % 3600) / 60),
                  static_cast<long long>(seconds % 60));
    return buf;
}

}  // namespace tk358
