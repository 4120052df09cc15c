// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The broker address as it is given: mqtt://[user[:password]@]host[:port] or
// mqtts://... for TLS. Percent escapes (%40 for '@') are allowed in the user
// and the password; an IPv6 address stands in brackets.

#include <optional>
#include <string>
#include <string_view>

namespace tk358 {

inline constexpr int kMqttPort = 1883;
inline constexpr int kMqttTlsPort = 8883;

struct MqttUrl {
    bool tls = false;
    std::string host;
    int port = kMqttPort;
    std::string user;      // empty: none given
    std::string password;  // empty: none given

    friend bool operator==(const MqttUrl&, const MqttUrl&) = default;
};

// Nothing, with a Polish reason in `error`, when the text is not such an address.
std::optional<MqttUrl> ParseMqttUrl(std::string_view text, std::string* error);

}  // namespace tk358
