// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A failed property ends the fuzz run with a message, so libFuzzer keeps the
// input as a crash reproducer.

#include <cstdio>
#include <cstdlib>

namespace tk358::fuzz {

inline void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

}  // namespace tk358::fuzz
