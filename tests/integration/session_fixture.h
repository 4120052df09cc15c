// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared pieces of the session tests: a simulated panel on a pseudo-terminal
// registered as COM207 in a temporary port directory, a session opened on it,
// quick timing and waiting.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/panel_session.h"
#include "link/session_timing.h"
#include "sim/pty_simulator.h"

namespace tk358::test {

using namespace std::chrono_literals;

// Past the fixed device table, so a vanished panel's number opens nothing else.
inline constexpr int kComPort = 207;

// Exchanges answered over a pseudo-terminal take well under a millisecond;
// the answer wait leaves room for slow sanitizer builds. The silence limit
// stays as in the program, so no start sequence interrupts a test.
SessionTiming QuickTiming();

// The port directory of this process, created on first use and named in
// TK358_PORT_DIR; removed at exit.
const std::string& TestPortDirectory();

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// Lines are written with spaces between fields for reading; the panel sends none.
std::string Compact(std::string text);

std::string ReadRequest(int code);
std::vector<std::string> ReadRequests(const std::vector<int>& codes);
// The "028700" frames that write `bytes` (most significant first) to `code`.
std::vector<std::string> Writes(int code, const std::vector<std::string>& bytes);
std::vector<std::string> Joined(const std::vector<std::vector<std::string>>& parts);

struct RigOptions {
    std::optional<int> firmware;  // none: the kind's usual firmware
    SessionTiming timing = QuickTiming();
    // Status lines once monitoring is on; by default none within a test.
    std::chrono::milliseconds statusPeriod = 1h;
    // Monitoring on from power-on: the line carries status lines before any
    // request, as a line whose panel another program switched on does.
    bool monitoring = false;
    int comPort = kComPort;
};

inline RigOptions StatusEvery(std::chrono::milliseconds period) {
    RigOptions options;
    options.statusPeriod = period;
    return options;
}

// A simulated panel of `kind` and a session for it.
class SessionRig {
public:
    explicit SessionRig(int kind, RigOptions options = {});

    // Opens the session and waits until its start sequence has switched the
    // monitoring mode on; then forgets the requests seen so far.
    bool Start();
    // Requests since the last clear as command and data digits; a line whose
    // checksum or line end is wrong appears as "!" and the line.
    std::vector<std::string> Requests() const;
    bool WaitForRequest(const std::string& request, std::chrono::milliseconds limit) const;

    const int comPort;
    sim::PtySimulator sim;
    PanelSession session;
};

}  // namespace tk358::test
