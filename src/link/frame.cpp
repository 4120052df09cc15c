// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/frame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tk358 {

namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";

// Positions are widened so that a field starting near INT_MAX cannot overflow.
int DigitAt(const std::array<char, kLineCapacity>& text, int64_t pos) {
    if (pos < 0 || pos >= kLineCapacity) {
        return 0;
    }
    return HexDigitValue(text[static_cast<std::size_t>(pos)]);
}

uint64_t UnsignedAt(const std::array<char, kLineCapacity>& text, int64_t pos, int digits) {
    uint64_t value = 0;
    for (int i = 0; i < digits; ++i) {
        value = value * 16 + static_cast<uint64_t>(DigitAt(text, pos + i));
    }
    return value;
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 0;
}

int AppendChecksum(char* text, int length, int capacity) {
    if (text == nullptr || length <= 0 || length % 2 != 0 || capacity - 4 < length) {
        return 0;
    }
    unsigned sum = 0;
    for (int i = 0; i < length; i += 2) {
        sum += static_cast<unsigned>(HexDigitValue(text[i]) * 16 + HexDigitValue(text[i + 1]));
    }
    const unsigned checksum = (0u - sum) & 0xFFu;
    text[length] = kUpperHex[checksum >> 4];
    text[length + 1] = kUpperHex[checksum & 0xFu];
    text[length + 2] = '\r';
    text[length + 3] = '\n';
    return length + 4;
}

std::string HexText(uint32_t value, int digits) {
    char buffer[16];
    const int width = std::clamp(digits, 0, 8);
    const int n = std::snprintf(buffer, sizeof buffer, "%0*X", width, static_cast<unsigned>(value));
    return std::string(buffer, static_cast<std::size_t>(n));
}

RequestFrame BuildRequest(std::string_view commandCode, std::string_view data) {
    RequestFrame frame;
    const std::size_t textLength = commandCode.size() + data.size();
    if (textLength + 4 > frame.bytes.size()) {
        return frame;
    }
    std::copy(commandCode.begin(), commandCode.end(), frame.bytes.begin());
    std::copy(data.begin(), data.end(), frame.bytes.begin() + commandCode.size());
    frame.length = AppendChecksum(frame.bytes.data(), static_cast<int>(textLength), kLineCapacity);
    if (frame.length == 0) {
        frame.bytes.fill(0);
    }
    return frame;
}

double DecodeFloat(uint32_t pattern) {
    if (pattern == 0x00000000u || pattern == 0x7FFFFFFFu) {
        return 0.0;
    }
    const int exponent = static_cast<int>((pattern >> 23) & 0xFFu);
    const double mantissa = static_cast<double>((pattern & 0x7FFFFFu) | 0x800000u);
    const double magnitude = std::ldexp(mantissa, exponent - 126 - 24);
    return (pattern & 0x80000000u) != 0 ? -magnitude : magnitude;
}

uint32_t EncodeFloat(double x) {
    if (x == 0.0) {
        return 0x00000000u;
    }
    if (!std::isfinite(x)) {
        return 0x7FFFFFFFu;
    }
    int k = 0;
    const double f = std::frexp(std::fabs(x), &k);  // 0.5 <= f < 1
    const double scaled = std::min(std::trunc(std::ldexp(f, 24)), 16777215.0);
    const uint32_t mantissa = static_cast<uint32_t>(scaled) & 0x7FFFFFu;
    const int biased = k + 126;
    if (biased > 255) {
        return 0x7FFFFFFFu;
    }
    if (biased < 1) {
        return 0x00000000u;
    }
    const uint32_t sign = x < 0.0 ? 0x80000000u : 0u;
    return sign | (static_cast<uint32_t>(biased) << 23) | mantissa;
}

AnswerLine AnswerLine::From(std::string_view line) {
    AnswerLine answer;
    const std::size_t n = std::min(line.size(), answer.text.size());
    std::copy_n(line.begin(), n, answer.text.begin());
    answer.length = static_cast<int>(n);
    return answer;
}

bool AnswerLine::StartsWith(std::string_view prefix) const {
    return prefix.size() <= text.size() && std::string_view(text.data(), prefix.size()) == prefix;
}

int AnswerLine::Digit(int pos) const {
    return DigitAt(text, pos);
}

bool AnswerLine::Bit(int pos, int bit) const {
    return bit >= 0 && bit < 4 && ((Digit(pos) >> bit) & 1) != 0;
}

uint64_t AnswerLine::Unsigned(int pos, int digits) const {
    return UnsignedAt(text, pos, std::clamp(digits, 0, 16));
}

int32_t AnswerLine::Field32(int pos) const {
    return static_cast<int32_t>(static_cast<uint32_t>(Unsigned(pos, 8)));
}

int64_t AnswerLine::Signed(int pos, int digits) const {
    const int n = std::clamp(digits, 0, 16);
    if (n == 0) {
        return 0;
    }
    if (Digit(pos) < 8) {
        return static_cast<int64_t>(Unsigned(pos, n));
    }
    const uint64_t rest = UnsignedAt(text, int64_t{pos} + 1, n - 1);
    return static_cast<int64_t>(rest) - (int64_t{1} << (4 * (n - 1)));
}

double AnswerLine::Float(int pos) const {
    return DecodeFloat(static_cast<uint32_t>(Unsigned(pos, 8)));
}

}  // namespace tk358
