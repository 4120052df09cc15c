// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/mqtt_url.h"

#include <charconv>

namespace tk358 {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::optional<int> ParsePort(std::string_view text) {
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

bool Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

// Splits "host[:port]" or "[v6]:port" into `url`.
bool ParseHostPort(std::string_view text, MqttUrl& url, std::string* error) {
    std::string_view host = text;
    std::string_view port;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            return Fail(error, "niezamknięty nawias adresu IPv6");
        }
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (!rest.starts_with(':')) {
                return Fail(error, "po adresie IPv6 może stać tylko :PORT");
            }
            port = rest.substr(1);
            if (port.empty()) {
                return Fail(error, "brak numeru portu po ':'");
            }
        }
    } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (port.empty()) {
            return Fail(error, "brak numeru portu po ':'");
        }
    }
    if (host.empty()) {
        return Fail(error, "brak nazwy lub adresu brokera");
    }
    url.host = std::string(host);
    if (!port.empty()) {
        const std::optional<int> number = ParsePort(port);
        if (!number) {
            return Fail(error, "port brokera musi być liczbą od 1 do 65535");
        }
        url.port = *number;
    }
    return true;
}

}  // namespace

std::optional<MqttUrl> ParseMqttUrl(std::string_view text, std::string* error) {
    MqttUrl url;
    std::string_view rest;
    if (text.starts_with("mqtt://")) {
        rest = text.substr(7);
    } else if (text.starts_with("mqtts://")) {
        url.tls = true;
        url.port = kMqttTlsPort;
        rest = text.substr(8);
    } else {
        Fail(error, "adres brokera musi zaczynać się od mqtt:// lub mqtts://");
        return std::nullopt;
    }
    if (rest.ends_with('/')) {
        rest.remove_suffix(1);
    }
    if (rest.find('/') != std::string_view::npos) {
        Fail(error, "adres brokera nie może mieć ścieżki");
        return std::nullopt;
    }
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos) {
        const std::string_view userInfo = rest.substr(0, at);
        rest = rest.substr(at + 1);
        const std::size_t colon = userInfo.find(':');
        const auto user = PercentDecode(userInfo.substr(0, colon));
        const auto password = colon == std::string_view::npos
                                  ? std::optional<std::string>("")
                                  : PercentDecode(userInfo.substr(colon + 1));
        if (!user || !password || user->empty()) {
            Fail(error, "niepoprawny użytkownik lub hasło w adresie brokera");
            return std::nullopt;
        }
        url.user = *user;
        url.password = *password;
    }
    if (!ParseHostPort(rest, url, error)) {
        return std::nullopt;
    }
    return url;
}

}  // namespace tk358
