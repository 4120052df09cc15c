// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ini_text.h"

#include <limits>

namespace tk358 {
namespace {

bool IsHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

void AddLine(std::vector<IniSection>& sections, std::string& currentName, std::string_view line) {
    if (IsHeader(line)) {
        sections.emplace_back();
        currentName.assign(line.substr(1, line.size() - 2));
        return;
    }
    IniSection& section = sections.back();
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        section.entries.push_back({std::string(line), std::string()});
    } else {
        section.entries.push_back(
            {std::string(line.substr(0, eq)), std::string(line.substr(eq + 1))});
    }
    section.name = currentName;
}

struct Magnitude {
    bool negative = false;
    uint64_t value = 0;  // capped just above 2^32, enough to detect overflow of both types
};

Magnitude ReadMagnitude(std::string_view text) {
    constexpr uint64_t kCap = uint64_t{1} << 33;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    Magnitude m;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        m.negative = text[i] == '-';
        ++i;
    }
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        m.value = m.value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (m.value > kCap) {
            m.value = kCap;
        }
    }
    return m;
}

}  // namespace

std::vector<IniSection> ParseIniText(std::string_view text) {
    std::vector<IniSection> sections(1);
    std::string currentName;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        AddLine(sections, currentName, line);
    }
    return sections;
}

std::string FormatIniText(const std::vector<IniSection>& sections) {
    std::string out;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const IniSection& section = sections[i];
        if (section.entries.empty()) {
            continue;
        }
        if (i > 0) {
            out += '[';
            out += section.name;
            out += "]\r\n";
        }
        for (const IniEntry& entry : section.entries) {
            out += entry.key;
            if (!entry.key.empty() || !entry.value.empty()) {
                out += '=';
                out += entry.value;
            }
            out += "\r\n";
        }
    }
    return out;
}

int32_t DecimalTextToInt32(std::string_view text) {
    const Magnitude m = ReadMagnitude(text);
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    const int64_t signedValue =
        m.negative ? -static_cast<int64_t>(m.value) : static_cast<int64_t>(m.value);
    if (signedValue < kMin) {
        return static_cast<int32_t>(kMin);
    }
    if (signedValue > kMax) {
        return static_cast<int32_t>(kMax);
    }
    return static_cast<int32_t>(signedValue);
}

uint32_t DecimalTextToUint32(std::string_view text) {
    const Magnitude m = ReadMagnitude(text);
    constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
    if (m.value > kMax) {
        return static_cast<uint32_t>(kMax);
    }
    const uint32_t value = static_cast<uint32_t>(m.value);
    return m.negative ? 0u - value : value;
}

}  // namespace tk358
