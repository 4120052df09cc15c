// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/mqtt_topics.h"

namespace tk358 {

namespace {

constexpr std::size_t kMaxNameLength = 64;

}  // namespace

bool IsValidTopicPrefix(std::string_view prefix) {
    if (prefix.empty() || prefix.starts_with('/') || prefix.starts_with('$') ||
        prefix.ends_with('/') || prefix.find("//") != std::string_view::npos) {
        return false;
    }
    for (char c : prefix) {
        if (c == '+' || c == '#' || c == '\0' || static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    return true;
}

bool IsValidPanelName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength) {
        return false;
    }
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!ok) {
            return false;
        }
    }
    return true;
}

std::string DefaultPanelName(int portNumber) {
    return "com" + std::to_string(portNumber);
}

}  // namespace tk358
