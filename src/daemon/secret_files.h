// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the broker's password may come from besides the command line, and
// whether a file that holds it is kept from other users.

#include <optional>
#include <string>

namespace tk358 {

// The name of the password among systemd's credentials (LoadCredential=).
inline constexpr const char* kPasswordCredential = "mqtt-password";

// The first line of the file without its line end; nothing when it cannot be read.
std::optional<std::string> ReadFirstLine(const std::string& path);

// A warning (Polish) when the file can be read by every user, or by a group
// that is not the process's own; empty when it cannot.
std::string ExposedFileWarning(const std::string& path);

// The password from `directory` ($CREDENTIALS_DIRECTORY; null or empty: none).
std::optional<std::string> ReadPasswordCredential(const char* directory);

}  // namespace tk358
