// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Registering a simulated panel's terminal as "COMn" in the port directory:
// a symbolic link named COMn that points to the terminal's slave device.

#include <string>

namespace tk358::sim {

std::string PortLinkPath(const std::string& directory, int number);

// Creates `directory` and its missing parents (mode 0700). False with a
// Polish reason in `error` when it cannot, or when the directory is not the
// user's own (owned by another user, or writable by group or others): the
// program would ignore it.
bool MakePortDirectory(const std::string& directory, std::string* error);

// Creates <directory>/COMn -> `target`. An entry that is a dangling link (left
// behind by a simulator that was killed) is replaced; any other entry, or a
// number outside 1..255, makes it fail.
bool LinkPort(const std::string& directory, int number, const std::string& target);

// Removes `link` when it still points to `target`, so another simulator's
// registration under the same name is never removed.
void UnlinkPort(const std::string& link, const std::string& target);

}  // namespace tk358::sim
