// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_codec.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace tk358::sim {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

bool IsHex(char c) {
    return c != '\0' && std::strchr(kDigits, c) != nullptr;
}

}  // namespace

int HexDigit(char c) {
    const char* found = c != '\0' ? std::strchr(kDigits, c) : nullptr;
    return found != nullptr ? static_cast<int>(found - kDigits) : 0;
}

uint32_t ParseHex(std::string_view digits) {
    uint32_t value = 0;
    for (const char c : digits) {
        value = (value << 4) | static_cast<uint32_t>(HexDigit(c));
    }
    return value;
}

std::string Hex(uint64_t value, int digits) {
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xFu]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(text.size()) < digits) {
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    }
    return text;
}

std::string SignedHex(int64_t value, int digits) {
    const uint64_t mask = digits >= 16 ? ~uint64_t{0} : (uint64_t{1} << (4 * digits)) - 1;
    return Hex(static_cast<uint64_t>(value) & mask, digits);
}

std::string Checksum(std::string_view text) {
    unsigned sum = 0;
    int high = -1;
    for (const char c : text) {
        if (!IsHex(c)) {
            continue;
        }
        if (high < 0) {
            high = HexDigit(c);
        } else {
            sum += static_cast<unsigned>(high * 16 + HexDigit(c));
            high = -1;
        }
    }
    if (high >= 0) {
        sum += static_cast<unsigned>(high * 16);
    }
    return Hex((0x100u - (sum & 0xFFu)) & 0xFFu, 2);
}

std::string RequestLine(std::string_view code, std::string_view data) {
    std::string line(code);
    line += data;
    line += Checksum(line);
    line += "\r\n";
    return line;
}

uint32_t FloatField(double x) {
    if (x == 0.0) {
        return 0;
    }
    if (!std::isfinite(x)) {
        return 0x7FFFFFFFu;
    }
    int k = 0;
    const double f = std::frexp(std::fabs(x), &k);  // 0.5 <= f < 1
    const auto mantissa = std::min(static_cast<uint32_t>(std::ldexp(f, 24)), 0xFFFFFFu);
    const int exponent = k + 126;
    if (exponent > 255) {
        return 0x7FFFFFFFu;
    }
    if (exponent < 1) {
        return 0;
    }
    const uint32_t sign = x < 0 ? 0x80000000u : 0u;
    return sign | (static_cast<uint32_t>(exponent) << 23) | (mantissa & 0x7FFFFFu);
}

double FloatValue(uint32_t field) {
    if (field == 0 || field == 0x7FFFFFFFu) {
        return 0.0;
    }
    const int exponent = static_cast<int>((field >> 23) & 0xFFu);
    const double magnitude =
        std::ldexp(static_cast<double>((1u << 23) + (field & 0x7FFFFFu)), exponent - 126 - 24);
    return (field & 0x80000000u) != 0 ? -magnitude : magnitude;
}

}  // namespace tk358::sim
