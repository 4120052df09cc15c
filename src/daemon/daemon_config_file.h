// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The configuration file of tk358d (--config FILE; under systemd
// /etc/tk358/<instance>.ini): key=value lines with the long option names as
// keys, before any section or in the section [tk358d]. Blanks around keys and
// values are dropped; lines starting with ';' or '#' are comments. The file
// is only read, never written, so it may belong to root.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tk358 {

struct ConfigEntry {
    std::string key;
    std::string value;

    friend bool operator==(const ConfigEntry&, const ConfigEntry&) = default;
};

// The entries of the text in file order; nothing, with the reason in
// `error`, for a section other than [tk358d].
std::optional<std::vector<ConfigEntry>> ParseDaemonConfig(const std::string& text,
                                                          std::string* error);

// Reads and parses the file; nothing, with the reason in `error`, when it
// cannot be read.
std::optional<std::vector<ConfigEntry>> ReadDaemonConfig(const std::string& path,
                                                         std::string* error);

}  // namespace tk358
