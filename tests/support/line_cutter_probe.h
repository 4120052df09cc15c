// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the cutter's tests and fuzz target see of the line being collected.

#include "link/line_cutter.h"

namespace tk358::test {

struct LineCutterProbe {
    // Bytes of the line collected so far.
    static int Length(const LineCutter& cutter) { return cutter.length_; }
};

}  // namespace tk358::test
