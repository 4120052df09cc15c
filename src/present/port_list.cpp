// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/port_list.h"

#include "panel/number_entry.h"

namespace tk358 {

std::vector<std::string> PortEntriesFromListing(std::string_view listing) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (std::size_t end = listing.find('\n'); end != std::string_view::npos;
         start = end + 1, end = listing.find('\n', start)) {
        const std::string_view line = listing.substr(start, end - start);
        if (line.empty()) {
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            entries.emplace_back(line);
        } else {
            entries.push_back(std::string(line.substr(0, colon)) + " (" +
                              std::string(line.substr(colon + 1)) + ")");
        }
    }
    return entries;
}

std::string CurrentPortText(int portNumber) {
    if (portNumber == 0) {
        return "Aktualnie żaden port nie jest używany";
    }
    return "Aktualnie używany port: COM" + std::to_string(portNumber);
}

std::optional<std::size_t> SelectedPortEntry(const std::vector<std::string>& entries,
                                             int portNumber) {
    if (portNumber == 0) {
        return std::nullopt;
    }
    const std::string name = "COM" + std::to_string(portNumber);
    std::optional<std::size_t> selected;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string_view entry = entries[i];
        if (entry.substr(0, name.size()) != name) {
            continue;
        }
        // "COM1" must not pick "COM12 (...)".
        const std::string_view rest = entry.substr(name.size());
        if (rest.empty() || rest.front() < '0' || rest.front() > '9') {
            selected = i;
        }
    }
    return selected;
}

int PortNumberOfEntry(std::string_view entry) {
    const std::size_t first = entry.find_first_not_of(" \t\n\v\f\r");
    if (first == std::string_view::npos) {
        return 0;
    }
    entry.remove_prefix(first);
    return entry.size() > 3 ? ParseInteger(entry.substr(3)) : 0;
}

}  // namespace tk358
