// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The session's time constants. The defaults are what the program uses; tests
// may shorten them so the suite stays fast.

#include <chrono>

namespace tk358 {

struct SessionTiming {
    std::chrono::milliseconds answerWait{1500};  // one attempt of an exchange
    int tries = 4;                               // attempts of an exchange with retries
    std::chrono::milliseconds cycle{1000};       // poll thread sleep between checks
    std::chrono::seconds silence{10};            // longer without a good line restarts contact
    int valueRestarts = 4;  // a parameter value is sent in at most 1 + 4 passes
};

}  // namespace tk358
