// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The serial port choice: the entries of the port list, which entry is
// selected for the port in use, and the port number of the chosen entry.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk358 {

inline constexpr char kNoPortChosenMessage[] = "Nie wybrano żadnego portu.";

// The port listing's text, one "COMn:description" line per port, as the
// entries "COMn (description)". Empty lines are skipped, a line without a
// colon is taken as it stands, and text after the last line feed is ignored.
std::vector<std::string> PortEntriesFromListing(std::string_view listing);

// "Aktualnie używany port: COMn", or "Aktualnie żaden port nie jest używany"
// for port number 0.
std::string CurrentPortText(int portNumber);

// The entry to select for the port in use: the last entry that starts with
// "COMn" not followed by a further digit. None for port number 0.
std::optional<std::size_t> SelectedPortEntry(const std::vector<std::string>& entries,
                                             int portNumber);

// The port number of a chosen entry: the whole number from its fourth
// character on, after leading white space ("COM12 (...)" gives 12); 0 when
// there is none. Only numbers above 0 are accepted.
int PortNumberOfEntry(std::string_view entry);

}  // namespace tk358
