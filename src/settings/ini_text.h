// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The settings file's text: sections of key=value lines, kept in file order.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tk358 {

struct IniEntry {
    std::string key;
    std::string value;

    bool operator==(const IniEntry&) const = default;
};

struct IniSection {
    std::string name;
    std::vector<IniEntry> entries;

    bool operator==(const IniSection&) const = default;
};

// Splits file contents into sections. Index 0 holds the lines before the first
// "[name]" header and always exists. A header opens a new index whose name is
// recorded only when its first entry is read, so a header without entries
// leaves an unnamed, empty index. An entry line is split at its first '=';
// a line without '=' is a key with an empty value. Lines end at LF, and one
// CR before the LF is dropped. Nothing is trimmed.
std::vector<IniSection> ParseIniText(std::string_view text);

// The file contents for `sections`, every line ended with CR LF. Sections
// without entries are left out; index 0 is written without a header; every
// other written section gets "[name]", also when the name is empty (a "[]"
// line read from the file), so its entries stay apart from the section before.
// An entry is "key=value"; an entry with empty key and value is a blank line.
std::string FormatIniText(const std::vector<IniSection>& sections);

// Decimal text to integer: leading blanks skipped, an optional sign, then
// digits up to the first other character; text without digits gives 0.
// Out-of-range text saturates at the type's limits (no undefined behaviour).
// The unsigned form reads a negative number modulo 2^32, as strtoul does.
int32_t DecimalTextToInt32(std::string_view text);
uint32_t DecimalTextToUint32(std::string_view text);

}  // namespace tk358
