// SPDX-License-Identifier: GPL-3.0-or-later
// help_location_probe <program folder>: prints where a program in that folder
// finds its help, as the program itself looks for it.

#include <cstdio>

#include "present/help_location.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: help_location_probe <program folder>\n");
        return 2;
    }
    std::printf("%s\n", tk358::FindHelpIndex(argv[1]).c_str());
    return 0;
}
