// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the program's help pages lie: installed beside the program, in a help
// folder next to an unpacked program, or in the sources it was built from.

#include <filesystem>
#include <vector>

namespace tk358 {

// The places where the help's index page may be, in the order they are tried:
// the installed layout relative to the program's folder, a "help" folder in the
// program's folder, the sources' help folder. An empty program folder leaves
// out the first two. Paths are without "." and ".." steps.
std::vector<std::filesystem::path> HelpIndexCandidates(const std::filesystem::path& programDir);

// The first candidate that is a file; empty when there is none.
std::filesystem::path FindHelpIndex(const std::filesystem::path& programDir);

}  // namespace tk358
