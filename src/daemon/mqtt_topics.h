// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The topics of one panel on the broker, all below <prefix>/<name>:
//   availability        "online" / "offline", retained; the last will says "offline"
//   state               the readings, once a second (JSON)
//   info                the panel's identification, retained (JSON)
//   link                "online" / "offline", retained: whether the panel answers
//   set/setpoint        commands, with --allow-setpoint-writes (a number in °C)
//   set/setpoint2       the dual-zone panel's second set point
//   result/<command>    the outcome of each command (JSON)

#include <string>
#include <string_view>

namespace tk358 {

struct MqttTopics {
    std::string base;  // <prefix>/<name>

    std::string Availability() const { return base + "/availability"; }
    std::string State() const { return base + "/state"; }
    std::string Info() const { return base + "/info"; }
    std::string Health() const { return base + "/health"; }
    std::string Link() const { return base + "/link"; }
    // The filter of every command topic.
    std::string Commands() const { return base + "/set/#"; }
    std::string CommandPrefix() const { return base + "/set/"; }
    std::string Result(std::string_view command) const {
        return base + "/result/" + std::string(command);
    }
};

inline constexpr const char* kOnline = "online";
inline constexpr const char* kOffline = "offline";

// A topic prefix is one or more levels separated by '/', without empty levels
// and without the wildcards '+' and '#'; it does not start with '$', which
// brokers keep for their own topics.
bool IsValidTopicPrefix(std::string_view prefix);

// A panel name is one topic level that also serves in Home Assistant's
// identifiers: letters, digits, '_' and '-', at most 64 characters.
bool IsValidPanelName(std::string_view name);

// "com3" for port 3: the name a panel gets when none is given.
std::string DefaultPanelName(int portNumber);

}  // namespace tk358
