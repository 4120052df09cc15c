// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tk358 {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at `text[i]`, 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    unsigned code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are refused.
    if (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

}  // namespace

std::string JsonQuote(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else if (c >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                out += kReplacement;
                ++i;
                continue;
            }
            out.append(text.substr(i, length));
            i += length;
            continue;
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out + "\"";
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    text_ += '{';
    hasMember_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    text_ += '}';
    hasMember_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    text_ += '[';
    hasMember_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    text_ += ']';
    hasMember_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    if (!hasMember_.empty() && hasMember_.back()) {
        text_ += ',';
    }
    if (!hasMember_.empty()) {
        hasMember_.back() = true;
    }
    text_ += JsonQuote(name);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    // An array element (or the top-level value).
    if (!hasMember_.empty()) {
        if (hasMember_.back()) {
            text_ += ',';
        }
        hasMember_.back() = true;
    }
}

JsonWriter& JsonWriter::String(std::string_view text) {
    BeforeValue();
    text_ += JsonQuote(text);
    return *this;
}

JsonWriter& JsonWriter::Number(double value) {
    if (!std::isfinite(value)) {
        return Null();
    }
    BeforeValue();
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text_.append(buffer, result.ptr);
    return *this;
}

JsonWriter& JsonWriter::FloatNumber(double value) {
    if (!std::isfinite(value) || !std::isfinite(static_cast<float>(value))) {
        return Number(value);
    }
    BeforeValue();
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    text_.append(buffer, result.ptr);
    return *this;
}

JsonWriter& JsonWriter::Int(int64_t value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    text_ += "null";
    return *this;
}

}  // namespace tk358
