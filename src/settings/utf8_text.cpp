// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/utf8_text.h"

#include <cstdint>

namespace tk358 {
namespace {

// Pairs laid out as upper, lower, upper, lower ... from `first` to `last`
// (inclusive); `upperOdd` says whether the upper-case member has an odd code.
struct PairRange {
    char32_t first;
    char32_t last;
    bool upperOdd;
};

constexpr PairRange kPairRanges[] = {
    {0x0100, 0x012F, false}, {0x0132, 0x0137, false}, {0x0139, 0x0148, true},
    {0x014A, 0x0177, false}, {0x0179, 0x017E, true},  {0x01CD, 0x01DC, true},
    {0x01DE, 0x01EF, false}, {0x01F4, 0x01F5, false}, {0x01F8, 0x021F, false},
    {0x0222, 0x0233, false}, {0x0246, 0x024F, false}, {0x0370, 0x0373, false},
    {0x0376, 0x0377, false}, {0x03D8, 0x03EF, false}, {0x0460, 0x0481, false},
    {0x048A, 0x04BF, false}, {0x04C1, 0x04CE, true},  {0x04D0, 0x052F, false},
    {0x1E00, 0x1E95, false}, {0x1EA0, 0x1EFF, false},
};

// Ranges whose upper-case letters map to lower case by a fixed offset.
struct OffsetRange {
    char32_t first;
    char32_t last;
    char32_t offset;
};

constexpr OffsetRange kOffsetRanges[] = {
    {0x00C0, 0x00D6, 0x20}, {0x00D8, 0x00DE, 0x20}, {0x0388, 0x038A, 0x25}, {0x038E, 0x038F, 0x3F},
    {0x0391, 0x03A1, 0x20}, {0x03A3, 0x03AB, 0x20}, {0x0400, 0x040F, 0x50}, {0x0410, 0x042F, 0x20},
};

struct Single {
    char32_t from;
    char32_t to;
};

constexpr Single kSingles[] = {
    {0x0130, 0x0069},                                      // capital I with dot above
    {0x0178, 0x00FF},                                      // capital Y with diaeresis
    {0x0386, 0x03AC}, {0x038C, 0x03CC}, {0x03C2, 0x03C3},  // final sigma
    {0x03CF, 0x03D7}, {0x03F7, 0x03F8}, {0x03FA, 0x03FB},
    {0x04C0, 0x04CF}, {0x1E9E, 0x00DF},  // capital sharp s
};

constexpr char32_t kInvalidBase = 0x110000;  // above every code point

// Decodes one character at `pos` and advances past it. An invalid sequence
// yields kInvalidBase + its first byte and advances by one byte.
char32_t DecodeNext(std::string_view s, std::size_t& pos) {
    const auto lead = static_cast<uint8_t>(s[pos]);
    const char32_t invalid = kInvalidBase + lead;
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    // Continuation bytes, payload bits of the lead byte and the smallest code
    // point that may use this length (shorter encodings are invalid).
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    char32_t c = lead & (0x3F >> extra);
    const char32_t minimum = extra == 3 ? 0x10000 : extra == 2 ? 0x800 : 0x80;
    if (lead < 0xC2 || lead > 0xF4) {
        ++pos;
        return invalid;
    }
    if (s.size() - pos <= static_cast<std::size_t>(extra)) {
        ++pos;
        return invalid;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto next = static_cast<uint8_t>(s[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return invalid;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return invalid;
    }
    pos += extra + 1;
    return c;
}

}  // namespace

char32_t FoldCase(char32_t c) {
    if (c < 0x80) {
        return c >= U'A' && c <= U'Z' ? c + 0x20 : c;
    }
    for (const OffsetRange& r : kOffsetRanges) {
        if (c >= r.first && c <= r.last) {
            return c + r.offset;
        }
    }
    for (const PairRange& r : kPairRanges) {
        if (c >= r.first && c <= r.last) {
            const bool odd = (c & 1) != 0;
            return odd == r.upperOdd ? c + 1 : c;
        }
    }
    for (const Single& s : kSingles) {
        if (c == s.from) {
            return s.to;
        }
    }
    return c;
}

bool EqualsIgnoreCaseUtf8(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (FoldCase(DecodeNext(a, i)) != FoldCase(DecodeNext(b, j))) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    auto continuation = [&](std::size_t i) {
        return (static_cast<uint8_t>(text[i]) & 0xC0) == 0x80;
    };
    // Find the start of the character that the limit falls into (at most three
    // continuation bytes back) and cut before it if it does not fit. Text that is
    // not UTF-8 there is cut at the limit.
    std::size_t start = maxBytes;
    for (int back = 0; back < 3 && start > 0 && continuation(start); ++back) {
        --start;
    }
    if (continuation(start)) {
        return text.substr(0, maxBytes);
    }
    const auto lead = static_cast<uint8_t>(text[start]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return text.substr(0, start + length > maxBytes ? start : maxBytes);
}

}  // namespace tk358
