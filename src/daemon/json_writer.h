// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small JSON text builder for the broker's payloads: objects, arrays,
// strings, numbers, booleans and null, with commas placed by itself. Numbers
// never depend on the program's locale; a number that is not finite is
// written as null, so the text always parses.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tk358 {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();

    // The name of the next member; only inside an object.
    JsonWriter& Key(std::string_view name);

    JsonWriter& String(std::string_view text);
    // The shortest text that reads back as the same double.
    JsonWriter& Number(double value);
    // The shortest text that reads back as the same float: for values the
    // panel sends as single-precision floats, so 0.1 stays "0.1".
    JsonWriter& FloatNumber(double value);
    JsonWriter& Int(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    // The text written so far.
    const std::string& Text() const { return text_; }

private:
    void BeforeValue();

    std::string text_;
    // One entry per open object or array: true once it has a member.
    std::vector<bool> hasMember_;
    bool afterKey_ = false;
};

// `text` as a JSON string literal, quotes included. Control characters are
// escaped; bytes that are not valid UTF-8 become U+FFFD, so the text stays
// valid JSON whatever a panel or a file name holds.
std::string JsonQuote(std::string_view text);

}  // namespace tk358
