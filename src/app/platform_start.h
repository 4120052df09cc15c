// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A Qt platform plugin that cannot reach its display ends the process with
// qFatal() and abort(), after English messages about plugins. While it
// exists, this guard holds Qt's messages back: a fatal one is replaced by
// `failureLine` on standard error and exit code 1; the others are passed on
// when the guard ends (the start succeeded).

#include <string>

namespace tk358 {

class PlatformStartGuard {
public:
    explicit PlatformStartGuard(std::string failureLine);
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

}  // namespace tk358
