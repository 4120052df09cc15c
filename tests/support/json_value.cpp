// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/json_value.h"

#include <cstdlib>

namespace tk358::test {

class JsonParser {
public:
    explicit JsonParser(std::string_view text) : text_(text) {}

    std::optional<JsonValue> ParseAll() {
        std::optional<JsonValue> value = ParseValue();
        SkipBlanks();
        if (!value || pos_ != text_.size()) {
            return std::nullopt;
        }
        return value;
    }

private:
    void SkipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r')) {
            ++pos_;
        }
    }

    bool Literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) {
            return false;
        }
        pos_ += word.size();
        return true;
    }

    std::optional<std::string> ParseString() {
        if (pos_ >= text_.size() || text_[pos_] != '"') {
            return std::nullopt;
        }
        ++pos_;
        std::string out;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (static_cast<unsigned char>(c) < 0x20) {
                return std::nullopt;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) {
                return std::nullopt;
            }
            c = text_[pos_++];
            switch (c) {
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u': {
                    if (pos_ + 4 > text_.size()) {
                        return std::nullopt;
                    }
                    const long code =
                        std::strtol(std::string(text_.substr(pos_, 4)).c_str(), nullptr, 16);
                    pos_ += 4;
                    out += code < 0x80 ? static_cast<char>(code) : '?';
                    break;
                }
                default:
                    out += c;
                    break;
            }
        }
        if (pos_ >= text_.size()) {
            return std::nullopt;
        }
        ++pos_;
        return out;
    }

    std::optional<JsonValue> ParseNumber() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() &&
               std::string_view("+-0123456789.eE").find(text_[pos_]) != std::string_view::npos) {
            ++pos_;
        }
        const std::string number(text_.substr(start, pos_ - start));
        char* end = nullptr;
        const double value = std::strtod(number.c_str(), &end);
        if (number.empty() || end != number.c_str() + number.size()) {
            return std::nullopt;
        }
        JsonValue v;
        v.data_ = value;
        return v;
    }

    std::optional<JsonValue> ParseObject() {
        auto object = std::make_shared<JsonValue::Object>();
        ++pos_;
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '}') {
            ++pos_;
        } else {
            for (;;) {
                SkipBlanks();
                std::optional<std::string> key = ParseString();
                SkipBlanks();
                if (!key || pos_ >= text_.size() || text_[pos_++] != ':') {
                    return std::nullopt;
                }
                std::optional<JsonValue> value = ParseValue();
                if (!value || object->count(*key) != 0) {
                    return std::nullopt;
                }
                (*object)[*key] = *value;
                SkipBlanks();
                if (pos_ < text_.size() && text_[pos_] == ',') {
                    ++pos_;
                    continue;
                }
                if (pos_ < text_.size() && text_[pos_] == '}') {
                    ++pos_;
                    break;
                }
                return std::nullopt;
            }
        }
        JsonValue v;
        v.data_ = object;
        return v;
    }

    std::optional<JsonValue> ParseArray() {
        auto array = std::make_shared<JsonValue::Array>();
        ++pos_;
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == ']') {
            ++pos_;
        } else {
            for (;;) {
                std::optional<JsonValue> value = ParseValue();
                if (!value) {
                    return std::nullopt;
                }
                array->push_back(*value);
                SkipBlanks();
                if (pos_ < text_.size() && text_[pos_] == ',') {
                    ++pos_;
                    continue;
                }
                if (pos_ < text_.size() && text_[pos_] == ']') {
                    ++pos_;
                    break;
                }
                return std::nullopt;
            }
        }
        JsonValue v;
        v.data_ = array;
        return v;
    }

    std::optional<JsonValue> ParseValue() {
        SkipBlanks();
        if (pos_ >= text_.size()) {
            return std::nullopt;
        }
        JsonValue v;
        switch (text_[pos_]) {
            case '{':
                return ParseObject();
            case '[':
                return ParseArray();
            case '"': {
                std::optional<std::string> s = ParseString();
                if (!s) {
                    return std::nullopt;
                }
                v.data_ = *s;
                return v;
            }
            case 't':
                v.data_ = true;
                return Literal("true") ? std::optional<JsonValue>(v) : std::nullopt;
            case 'f':
                v.data_ = false;
                return Literal("false") ? std::optional<JsonValue>(v) : std::nullopt;
            case 'n':
                return Literal("null") ? std::optional<JsonValue>(v) : std::nullopt;
            default:
                return ParseNumber();
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<JsonValue> JsonValue::Parse(std::string_view text) {
    return JsonParser(text).ParseAll();
}

const JsonValue::Array& JsonValue::Elements() const {
    static const Array kEmpty;
    return IsArray() ? *std::get<std::shared_ptr<Array>>(data_) : kEmpty;
}

bool JsonValue::Has(const std::string& key) const {
    return IsObject() && std::get<std::shared_ptr<Object>>(data_)->count(key) != 0;
}

const JsonValue& JsonValue::operator[](const std::string& key) const {
    static const JsonValue kNull;
    if (!IsObject()) {
        return kNull;
    }
    const Object& object = *std::get<std::shared_ptr<Object>>(data_);
    const auto it = object.find(key);
    return it == object.end() ? kNull : it->second;
}

}  // namespace tk358::test
