// SPDX-License-Identifier: GPL-3.0-or-later
// help_check <folder>: checks the help pages in a folder and their links;
// prints each problem and fails when there is any.

#include <cstdio>
#include <filesystem>

#include "html_check.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: help_check <help folder>\n");
        return 2;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(argv[1], error)) {
        std::fprintf(stderr, "help_check: %s is not a folder\n", argv[1]);
        return 1;
    }
    const auto problems = tk358::help::CheckHelpFolder(argv[1]);
    for (const std::string& problem : problems) {
        std::printf("%s\n", problem.c_str());
    }
    return problems.empty() ? 0 : 1;
}
