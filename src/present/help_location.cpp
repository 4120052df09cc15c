// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/help_location.h"

#include <system_error>

#include "tk358_paths.h"

namespace tk358 {

namespace fs = std::filesystem;

namespace {

constexpr const char* kIndexName = "index.html";

}  // namespace

std::vector<fs::path> HelpIndexCandidates(const fs::path& programDir) {
    std::vector<fs::path> candidates;
    if (!programDir.empty()) {
        // The program's folder is a real path (from /proc/self/exe), so ".."
        // steps can be taken lexically.
        candidates.push_back((programDir / TK358_HELP_FROM_BINDIR / kIndexName).lexically_normal());
        candidates.push_back((programDir / "help" / kIndexName).lexically_normal());
    }
    candidates.push_back(fs::path(TK358_HELP_SOURCE_DIR).lexically_normal() / kIndexName);
    return candidates;
}

fs::path FindHelpIndex(const fs::path& programDir) {
    for (const fs::path& candidate : HelpIndexCandidates(programDir)) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) {
            return candidate;
        }
    }
    return {};
}

}  // namespace tk358
