// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/number_entry.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace tk358 {

namespace {

// Far beyond any double or int, small enough to add digit counts to safely.
constexpr int64_t kExponentLimit = 1'000'000'000;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number as digits × 10^exponent; no digits means zero.
struct Decimal {
    bool negative = false;
    std::string digits;  // without leading zeros
    int64_t exponent = 0;
};

class Scanner {
public:
    Scanner(std::string_view text, bool commaIsPoint) : text_(text), commaIsPoint_(commaIsPoint) {}

    // Reads white space, sign, digits, point, digits, exponent; false when no
    // digit was found.
    bool Read(Decimal& out) {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) {
            ++pos_;
        }
        out.negative = Accept('-');
        if (!out.negative) {
            Accept('+');
        }
        const std::size_t intDigits = ReadDigits(out.digits);
        std::size_t fracDigits = 0;
        if (Accept('.') || (commaIsPoint_ && Accept(','))) {
            fracDigits = ReadDigits(out.digits);
        }
        if (intDigits + fracDigits == 0) {
            return false;
        }
        out.exponent = ReadExponent() - static_cast<int64_t>(fracDigits);
        const std::size_t zeros = out.digits.find_first_not_of('0');
        out.digits.erase(0, zeros == std::string::npos ? out.digits.size() : zeros);
        return true;
    }

private:
    bool Accept(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    std::size_t ReadDigits(std::string& into) {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsDigit(text_[pos_])) {
            into.push_back(text_[pos_++]);
        }
        return pos_ - start;
    }

    // An exponent counts only with at least one digit ("1e" is 1).
    int64_t ReadExponent() {
        if (pos_ >= text_.size() || (text_[pos_] != 'e' && text_[pos_] != 'E')) {
            return 0;
        }
        std::size_t p = pos_ + 1;
        const bool negative = p < text_.size() && text_[p] == '-';
        if (p < text_.size() && (text_[p] == '-' || text_[p] == '+')) {
            ++p;
        }
        if (p >= text_.size() || !IsDigit(text_[p])) {
            return 0;
        }
        int64_t value = 0;
        for (; p < text_.size() && IsDigit(text_[p]); ++p) {
            value = std::min(kExponentLimit, value * 10 + (text_[p] - '0'));
        }
        pos_ = p;
        return negative ? -value : value;
    }

    std::string_view text_;
    bool commaIsPoint_;
    std::size_t pos_ = 0;
};

int Saturate(bool negative, int64_t magnitude) {
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// The integer part of the number, saturated to the int range.
int TruncatedInt(const Decimal& d) {
    // Integer digits: all digits followed by `exponent` zeros, or the digits
    // with the last -exponent ones dropped.
    const int64_t count = static_cast<int64_t>(d.digits.size()) + d.exponent;
    if (count <= 0 || d.digits.empty()) {
        return 0;
    }
    if (count > 11) {
        return Saturate(d.negative, int64_t{1} << 40);
    }
    int64_t magnitude = 0;
    for (int64_t i = 0; i < count; ++i) {
        const std::size_t index = static_cast<std::size_t>(i);
        const int digit = index < d.digits.size() ? d.digits[index] - '0' : 0;
        magnitude = magnitude * 10 + digit;
    }
    return Saturate(d.negative, magnitude);
}

double ToDouble(const Decimal& d) {
    if (d.digits.empty()) {
        return d.negative ? -0.0 : 0.0;
    }
    const std::string text = d.digits + "e" + std::to_string(d.exponent);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool overflow = static_cast<int64_t>(d.digits.size()) + d.exponent > 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return d.negative ? -value : value;
}

int TruncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483648.0) {
        return INT_MAX;
    }
    if (value <= -2147483649.0) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// The power of ten that `scale` is, or -1.
int PowerOfTen(int scale) {
    int power = 0;
    for (int64_t p = 1; p <= scale; p *= 10, ++power) {
        if (p == scale) {
            return power;
        }
    }
    return -1;
}

}  // namespace

int ParseScaled(std::string_view text, int scale) {
    Decimal d;
    if (!Scanner(text, true).Read(d)) {
        return 0;
    }
    const int power = PowerOfTen(scale);
    if (power < 0) {
        // A number beyond the double range is an infinity, and infinity times
        // 0 is no number: any number times 0 is 0, and otherwise the product
        // saturates by its sign.
        if (scale == 0) {
            return 0;
        }
        const double value = ToDouble(d);
        if (std::isinf(value)) {
            return Saturate(d.negative != (scale < 0), int64_t{1} << 40);
        }
        return TruncateToInt(value * scale);
    }
    d.exponent += power;
    return TruncatedInt(d);
}

double ParseReal(std::string_view text) {
    Decimal d;
    if (!Scanner(text, true).Read(d)) {
        return 0.0;
    }
    return ToDouble(d);
}

int ParseInteger(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos++] == '-';
    }
    int64_t magnitude = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        magnitude = std::min(int64_t{1} << 40, magnitude * 10 + (text[pos] - '0'));
    }
    return Saturate(negative, magnitude);
}

}  // namespace tk358
