// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small JSON reader for tests: parses a payload into a tree and answers
// lookups such as value["regulator"]["pv"]. Not for product code.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tk358::test {

class JsonValue {
public:
    using Object = std::map<std::string, JsonValue>;
    using Array = std::vector<JsonValue>;

    // Nothing when `text` is not exactly one JSON value (blanks around allowed).
    static std::optional<JsonValue> Parse(std::string_view text);

    bool IsNull() const { return std::holds_alternative<std::monostate>(data_); }
    bool IsNumber() const { return std::holds_alternative<double>(data_); }
    bool IsBool() const { return std::holds_alternative<bool>(data_); }
    bool IsString() const { return std::holds_alternative<std::string>(data_); }
    bool IsObject() const { return std::holds_alternative<std::shared_ptr<Object>>(data_); }
    bool IsArray() const { return std::holds_alternative<std::shared_ptr<Array>>(data_); }

    double Number() const { return IsNumber() ? std::get<double>(data_) : 0.0; }
    bool Bool() const { return IsBool() && std::get<bool>(data_); }
    std::string String() const { return IsString() ? std::get<std::string>(data_) : ""; }
    const Array& Elements() const;

    bool Has(const std::string& key) const;
    // The member, or a null value when there is none.
    const JsonValue& operator[](const std::string& key) const;

private:
    friend class JsonParser;
    std::variant<std::monostate, bool, double, std::string, std::shared_ptr<Object>,
                 std::shared_ptr<Array>>
        data_;
};

}  // namespace tk358::test
