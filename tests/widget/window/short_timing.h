// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Session timing for tests on the simulated panel: contact is given up after
// 3 s of silence instead of 10 s.

#include <chrono>

#include "link/panel_session.h"

namespace tk358::test {

inline SessionTiming ShortTiming() {
    using namespace std::chrono_literals;
    SessionTiming t;
    t.answerWait = 300ms;
    t.tries = 2;
    t.cycle = 100ms;
    t.silence = 3s;
    return t;
}

}  // namespace tk358::test
