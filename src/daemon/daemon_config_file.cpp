// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/daemon_config_file.h"

#include <cerrno>
#include <cstring>

#include "settings/ini_text.h"
#include "settings/safe_file.h"
#include "settings/utf8_text.h"

namespace tk358 {

namespace {

constexpr std::string_view kSection = "tk358d";

std::string Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool IsOurSection(const std::string& name) {
    return EqualsIgnoreCaseUtf8(name, kSection);
}

}  // namespace

std::optional<std::vector<ConfigEntry>> ParseDaemonConfig(const std::string& text,
                                                          std::string* error) {
    std::vector<ConfigEntry> entries;
    const std::vector<IniSection> sections = ParseIniText(text);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const IniSection& section = sections[i];
        if (i > 0 && !section.entries.empty() && !IsOurSection(section.name)) {
            *error = "nieznana sekcja [" + section.name + "] (dozwolona tylko [tk358d])";
            return std::nullopt;
        }
        for (const IniEntry& entry : section.entries) {
            std::string key = Trim(entry.key);
            if (key.empty() || key.starts_with(';') || key.starts_with('#')) {
                continue;
            }
            entries.push_back({std::move(key), Trim(entry.value)});
        }
    }
    return entries;
}

std::optional<std::vector<ConfigEntry>> ReadDaemonConfig(const std::string& path,
                                                         std::string* error) {
    std::string text;
    errno = 0;
    if (!ReadWholeFile(path, FileAccess::kReadOnly, text)) {
        *error = "nie można odczytać pliku konfiguracji " + path;
        if (errno != 0) {
            *error += ": " + std::string(std::strerror(errno));
        }
        return std::nullopt;
    }
    return ParseDaemonConfig(text, error);
}

}  // namespace tk358
